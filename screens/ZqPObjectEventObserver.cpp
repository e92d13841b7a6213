#include "screens/ZqPObjectEventObserver.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPSettingsController.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"

#include <ZqLog.h>

#include <iterator>

namespace {

// The nine score limits, in the order of their event codes from kObserveSessionDistance:
// the score each reads and the words of its log line.
enum class Score { Distance, Points, Coins };
enum class Amount { Session, Total, Best };
struct ScoreLimit {
    Score score;
    Amount amount;
    const char* words;
};
constexpr ScoreLimit kScoreLimits[] = {
    {Score::Distance, Amount::Session, "session distance"},
    {Score::Points, Amount::Session, "session points"},
    {Score::Coins, Amount::Session, "session coins"},
    {Score::Distance, Amount::Total, "total distance"},
    {Score::Points, Amount::Total, "total points"},
    {Score::Coins, Amount::Total, "total coins"},
    {Score::Distance, Amount::Best, "best distance"},
    {Score::Points, Amount::Best, "best points"},
    {Score::Coins, Amount::Best, "best coins"},
};
static_assert(std::size(kScoreLimits) == kObserverEventOther - kObserveSessionDistance);

template <class T>
float amountOf(const ScoreBlock<T>& block, Amount amount)
{
    switch (amount) {
    case Amount::Total:
        return static_cast<float>(block.total);
    case Amount::Best:
        return static_cast<float>(block.best);
    case Amount::Session:
        break;
    }
    return static_cast<float>(block.session);
}

// Distances and points of the running world's record; coins of the player's purse.
float scoreOf(const ScoreLimit& limit)
{
    switch (limit.score) {
    case Score::Distance:
        return amountOf(ScoreRegistry::current().distance, limit.amount);
    case Score::Points:
        return amountOf(ScoreRegistry::current().points, limit.amount);
    case Score::Coins:
        break;
    }
    return amountOf(ScoreRegistry::global().coins, limit.amount);
}

} // namespace

ZqPObjectEventObserver* ZqPObjectEventObserver::create(const std::shared_ptr<ZqModelObjectEventObserver>& model)
{
    ZqPObjectEventObserver* observer = new ZqPObjectEventObserver();
    observer->init();
    observer->autorelease();
    observer->setModel(model);
    return observer;
}

void ZqPObjectEventObserver::setModel(const std::shared_ptr<ZqModelObjectEventObserver>& model)
{
    m_model = model;
    m_timeLeft = model ? static_cast<float>(model->time()) / 1000.0f : 0.0f;
}

int ZqPObjectEventObserver::startMode() const
{
    return ZqPScreenUi::startModeFor(m_model ? m_model->function() : kFunctionOther);
}

int ZqPObjectEventObserver::pauseMode() const
{
    return m_model && m_model->pauseCurrentWorld() ? 0 : 1;
}

void ZqPObjectEventObserver::update(float dt)
{
    ZqPScreenUi* ui = ZqPScreenNavigator::shared()->currentUiScreen();
    if (!ui || !m_model || !ui->screenModel())
        return;
    const Outcome outcome = evaluate(dt, ui->screenModel()->key());
    if (outcome.requestsReview)
        ui->requestReview();
    if (outcome.fires)
        ui->queueLinkedScreenSwitch(m_model->name(), 0, startMode(), pauseMode(), outcome.transition);
}

ZqPObjectEventObserver::Outcome ZqPObjectEventObserver::evaluate(float dt, const std::string& screenKey)
{
    Outcome outcome;
    if (!m_model)
        return outcome;
    const ZqObserverEvent type = m_model->eventType();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (type == kObserveGameOver) {
        const ZqPScreenScene* field = ZqPScreenNavigator::shared()->currentGameScene();
        if (field && field->isGameOver()) {
            debugLog("[ZqPObjectEventObserver] Got Game OVER in observer");
            outcome.fires = true;
            outcome.transition = 0;
        }
    } else if (type == kObserveSecondPlay) {
        if (m_firstUpdate) {
            m_firstUpdate = false;
            outcome.fires = static_cast<float>(settings->screenPlayedCount(screenKey)) >= m_model->playsBeforeRedirect();
            settings->incrementScreenPlayed(screenKey);
        }
    } else if (type == kObserveRequestReview) {
        if (m_firstUpdate) {
            m_firstUpdate = false;
            // Below one play the remainder would divide by zero: such a model never asks.
            const float plays = m_model->playsBeforeRedirect();
            if (plays >= 1.0f) {
                const int period = static_cast<int>(std::min(plays, 2147483647.0f));
                const int remainder = settings->screenPlayedCount(screenKey) % period;
                outcome.requestsReview = static_cast<float>(remainder) == plays - 1.0f;
            }
            settings->incrementScreenPlayed(screenKey);
        }
    } else if (type == kObserveLastScene) {
        if (m_firstUpdate) {
            m_firstUpdate = false;
            if (destinationIsLastOfWorld()) {
                debugLog("[ZqPObjectEventObserver] Got \"Last Scene\" event in observer");
                outcome.fires = true;
            }
        }
    } else if (type == kObserveTimeout) {
        m_timeLeft -= dt;
        outcome.fires = m_timeLeft <= 0.0f;
    } else if (type >= kObserveSessionDistance && type < kObserverEventOther) {
        const ScoreLimit& limit = kScoreLimits[type - kObserveSessionDistance];
        if (scoreOf(limit) >= m_model->limitNumber()) {
            debugLog("[ZqPObjectEventObserver] an event observer got %s limit", limit.words);
            outcome.fires = true;
        }
    }
    return outcome;
}

bool ZqPObjectEventObserver::destinationIsLastOfWorld()
{
    const int destination = ZqPScreenNavigator::shared()->sceneDestination();
    if (destination <= 0)
        return false;
    ZqModelController* controller = ZqModelController::shared();
    const std::shared_ptr<ZqModelLevelSection> section =
        controller->getModel<ZqModelLevelSection>(static_cast<unsigned>(destination));
    const std::shared_ptr<ZqModel> world = section ? section->parent() : nullptr;
    if (!world)
        return false;
    bool found = false;
    for (const std::shared_ptr<ZqModelLevelSection>& candidate : controller->modelsOfClass<ZqModelLevelSection>()) {
        if (candidate->parent() != world)
            continue;
        if (found)
            return false;
        found = candidate->id() == static_cast<unsigned>(destination);
    }
    return found;
}
