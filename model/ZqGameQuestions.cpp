#include "model/ZqGameQuestions.h"

namespace {

class FreshProgress final : public ZqProgressQuestions {
public:
    bool adsRemoved() const override { return false; }
    int selectedCharacter() const override { return 0; }
    void unlockCharacter(int) override {}
    void setPurchasedItemFlag(const std::string&, bool) override {}
};

class NoNavigation final : public ZqNavigationQuestions {
public:
    int sceneDestination() const override { return 0; }
    int nextDestination(int) const override { return 0; }
};

FreshProgress s_freshProgress;
NoNavigation s_noNavigation;
ZqProgressQuestions* s_progress = &s_freshProgress;
ZqNavigationQuestions* s_navigation = &s_noNavigation;

} // namespace

ZqProgressQuestions& zqProgress()
{
    return *s_progress;
}

ZqNavigationQuestions& zqNavigation()
{
    return *s_navigation;
}

void zqInstallProgressQuestions(ZqProgressQuestions* answers)
{
    s_progress = answers ? answers : &s_freshProgress;
}

void zqInstallNavigationQuestions(ZqNavigationQuestions* answers)
{
    s_navigation = answers ? answers : &s_noNavigation;
}
