// Platform services, the custom-button hook and the purchase bridge.
#include "app/ZqServices.h"

#include "engine/director/DirectorFixture.h"

#include <ZqLog.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class ServicesTest : public DirectorFixture {
protected:
    void SetUp() override
    {
        DirectorFixture::SetUp();
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        ZqServices::shared()->setPoster({});
        DirectorFixture::TearDown();
    }
    std::vector<std::string> lines;
};

TEST_F(ServicesTest, FixedAnswersOfThisPlatform)
{
    ZqServices* services = ZqServices::shared();
    EXPECT_FALSE(services->isAvailable());
    std::vector<bool> answers;
    services->showAlert("Really?", [&](bool answer) { answers.push_back(answer); });
    EXPECT_EQ(answers, std::vector<bool>{true}) << "at once, with true";
    services->screenOnEnter("Menu");
    services->screenOnExit("Menu");
    ZqAdCustom::shared()->logCustomButton("Share");
    EXPECT_EQ(lines, (std::vector<std::string>{"[ZqServices] alert: Really?", "[ZqServices] Screen On Enter: Menu",
                                               "[ZqServices] Screen On Exit: Menu", "Custom Button Activated: Share"}));
}

TEST_F(ServicesTest, FullscreenAndExitReachTheProgramsPoster)
{
    std::vector<std::pair<int, intptr_t>> posted;
    ZqServices::shared()->setPoster([&](int message, intptr_t parameter) { posted.emplace_back(message, parameter); });
    ZqServices::shared()->setFullscreen(true);
    ZqServices::shared()->setFullscreen(false);
    ZqServices::shared()->exitGame();
    EXPECT_EQ(posted, (std::vector<std::pair<int, intptr_t>>{
                          {1024, 1}, {1024, 0}, {ZqServices::kMessageClose, 0}}));
    EXPECT_EQ(lines, (std::vector<std::string>{"Exit", "Doing exit..."}));
}

TEST_F(ServicesTest, WithoutAPosterExitEndsTheLoop)
{
    runScene();
    ZqServices::shared()->setFullscreen(true);
    EXPECT_EQ(lines.size(), 1u) << "only logged";
    ZqServices::shared()->exitGame();
    EXPECT_TRUE(view.isOpenGLReady()) << "the loop ends at its next frame";
    frame();
    EXPECT_FALSE(view.isOpenGLReady());
}

class Buyer : public cocos2d::CCObject {
public:
    void bought(const std::string& product) { products.push_back(product); }
    std::vector<std::string> products;
};

TEST_F(ServicesTest, PurchaseBridgeCallsBackOnceAndForgetsAGoneTarget)
{
    PurchaseBridge* bridge = PurchaseBridge::shared();
    Buyer buyer;
    bridge->request("coins.small");
    bridge->setCallback(&buyer, static_cast<PurchaseBridge::Callback>(&Buyer::bought));
    bridge->request("coins.big");
    bridge->request("coins.big");
    EXPECT_EQ(buyer.products, std::vector<std::string>{"coins.big"});

    {
        Buyer gone;
        bridge->setCallback(&gone, static_cast<PurchaseBridge::Callback>(&Buyer::bought));
        bridge->clearCallbackOf(&buyer);
        bridge->clearCallbackOf(&gone);
    }
    bridge->request("coins.big"); // ASan: the gone buyer is never called
    EXPECT_EQ(buyer.products.size(), 1u);
}

} // namespace
