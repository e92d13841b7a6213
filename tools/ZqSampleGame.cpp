#include "tools/ZqSampleGame.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeTable.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "cocos2d.h"

#include <stdexcept>

namespace {

constexpr unsigned kGeneralSettingsId = 1;

// Gives a generated model's number, flag and text attributes values drawn from its
// position k, through the setters (so they are clamped into each attribute's range
// like an editor's values would be).
void fillAttributes(ZqModel& model, std::size_t k)
{
    const int n = static_cast<int>(k % 100000);
    for (ZqBaseAttribute* attribute : model.attributes()) {
        const std::size_t type = attribute->typeId();
        if (attribute == model.nameAttribute())
            model.setName("Generated " + std::to_string(k));
        else if (type == ZqAttributeFloat::staticTypeId())
            static_cast<ZqAttributeFloat*>(attribute)->setValue(static_cast<float>(n % 97) * 0.25f, true);
        else if (type == ZqAttributeInt::staticTypeId())
            static_cast<ZqAttributeInt*>(attribute)->setValue(n % 11 - 5, true);
        else if (type == ZqAttributeUInt::staticTypeId())
            static_cast<ZqAttributeUInt*>(attribute)->setValue(static_cast<unsigned>(n), true);
        else if (type == ZqAttributeBool::staticTypeId())
            static_cast<ZqAttributeBool*>(attribute)->setValue(k % 2 == 1, true);
        else if (type == ZqAttributeString::staticTypeId())
            static_cast<ZqAttributeString*>(attribute)->setValue("text " + std::to_string(k), true);
        else if (type == ZqAttributeSize::staticTypeId())
            static_cast<ZqAttributeSize*>(attribute)->setValue(cocos2d::CCSize(n % 50, n % 30 + 0.5f), true);
    }
}

// Sets an attribute by its key, silently like the data would.
template <class Attribute, class Value>
void setAttribute(ZqModel& model, const char* key, const Value& value)
{
    Attribute* attribute = zqRebindAttribute<Attribute>(model, key);
    if (!attribute)
        throw std::logic_error(std::string("ZqSampleGame: ") + model.className() + " lacks " + key);
    attribute->setValue(value, true);
}

} // namespace

ZqGeneratedModel::ZqGeneratedModel(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_GENERATED_MODEL_ATTRIBUTES)
    m_output = new ZqAttribute("Output", this);
    m_output->setConnectionType(ZqBaseAttribute::kSource, true);
    m_input = new ZqAttribute("Input", this);
    m_input->setConnectionType(ZqBaseAttribute::kTarget, true);
}

ZqGeneratedModel::ZqGeneratedModel(const ZqGeneratedModel& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_GENERATED_MODEL_ATTRIBUTES)
    m_output = zqRebindAttribute<ZqAttribute>(*this, "Output");
    m_input = zqRebindAttribute<ZqAttribute>(*this, "Input");
}

std::span<const ZqModelClass> ZqSampleGame::generatedModelClasses()
{
    static const ZqModelClass rows[] = {zqModelClassRow<ZqGeneratedModel>()};
    return rows;
}

void ZqSampleGame::build(ZqModelController& controller)
{
    Generated game;
    game.modelCount = 0;
    buildGenerated(controller, game);

    // The start of the flow graph: its screen, the one the game opens with, shows a text
    // and a loading bar while the rest of the game loads.
    std::shared_ptr<ZqNodeUIStart> start = ZqNodeUIStart::create();
    std::shared_ptr<ZqModelScreen> screen = ZqModelScreen::create();
    std::shared_ptr<ZqModelObjectLabel> label = ZqModelObjectLabel::create();
    std::shared_ptr<ZqModelObjectLoadingBar> bar = ZqModelObjectLoadingBar::create();
    start->setId(kGeneralSettingsId + 1);
    screen->setId(kGeneralSettingsId + 2);
    label->setId(kGeneralSettingsId + 3);
    bar->setId(kGeneralSettingsId + 4);
    start->setName("Start");
    screen->setName("Start Screen");
    setAttribute<ZqAttributeString>(*screen, "Key", std::string("ZqPScreenStart"));
    label->setName("Loading Text");
    setAttribute<ZqAttributeString>(*label, "Text", std::string("Loading..."));
    setAttribute<ZqAttributePoint>(*label, "Position", cocos2d::CCPoint(568.0f, 360.0f));
    setAttribute<ZqAttributePoint>(*bar, "Position", cocos2d::CCPoint(568.0f, 280.0f));
    screen->addChild(label, true);
    screen->addChild(bar, true);
    start->addChild(screen, true);
    controller.addModel(start);
    setAttribute<ZqAttributeUInt>(*ZqModelGeneralSettings::shared(), "Last ID", bar->id());
}

void ZqSampleGame::buildGenerated(ZqModelController& controller, const Generated& game)
{
    std::vector<std::string> classNames = game.classNames;
    if (classNames.empty() && game.modelCount != 0) {
        controller.addModelClasses(generatedModelClasses());
        classNames.push_back(ZqGeneratedModel::staticClassName());
    }

    // The reset drops the settings' instance too: nothing of an earlier game stays in them.
    controller.reset();
    std::shared_ptr<ZqModelGeneralSettings> settings = ZqModelGeneralSettings::shared();
    controller.addModel(settings);
    settings->setId(kGeneralSettingsId);

    // Made first, numbered after: a model takes a fresh id from the controller when it
    // is made, and the fixed ids are given once all of them exist.
    std::vector<std::shared_ptr<ZqModel>> models;
    models.reserve(game.modelCount);
    for (std::size_t k = 0; k < game.modelCount; ++k) {
        std::shared_ptr<ZqModel> model = controller.registry().create(classNames[k % classNames.size()]);
        if (!model)
            throw std::invalid_argument("ZqSampleGame: not a registry class: " + classNames[k % classNames.size()]);
        models.push_back(std::move(model));
    }
    for (std::size_t k = 0; k < models.size(); ++k) {
        models[k]->setId(kGeneralSettingsId + 1 + static_cast<unsigned>(k));
        fillAttributes(*models[k], k);
    }
    const std::size_t treeSize = game.treeSize == 0 ? models.size() : game.treeSize;
    const std::size_t fanout = game.fanout == 0 ? 1 : game.fanout;
    for (std::size_t k = 0; k < models.size(); ++k) {
        const std::size_t inTree = k % treeSize;
        if (inTree != 0)
            models[k - inTree + (inTree - 1) / fanout]->addChild(models[k], true);
    }
    for (std::size_t k = 1; k < models.size(); ++k) {
        ZqBaseAttribute* input = models[k]->findAttribute("Input");
        ZqBaseAttribute* output = models[k / 2]->findAttribute("Output");
        if (input && output && input->connectionType() == ZqBaseAttribute::kTarget &&
            output->connectionType() == ZqBaseAttribute::kSource)
            input->connect(output, true);
    }
    for (const std::shared_ptr<ZqModel>& model : models)
        controller.addModel(model);

    setAttribute<ZqAttributeString>(*settings, "Application Name", game.applicationName);
    setAttribute<ZqAttributeString>(*settings, "User ID", std::string(kUserId));
    setAttribute<ZqModelGeneralSettings::ZqAttributeOrientation>(*settings, "Orientation",
                                                               ZqModelGeneralSettings::Orientation::kLandscape);
    setAttribute<ZqAttributeSize>(*settings, "Design Size", cocos2d::CCSize(1136, 640));
    setAttribute<ZqAttributeUInt>(*settings, "Last ID", kGeneralSettingsId + static_cast<unsigned>(models.size()));
}

void ZqSampleGame::write(ZqModelController& controller, const std::string& dataDirectory,
                         ZqDataWriter::Options options)
{
    build(controller);
    ZqDataWriter(controller, std::move(options)).write(dataDirectory);
}
