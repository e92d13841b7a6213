#include "objects/ZqGameField.h"

namespace {

// No field: nothing to hold, place, flash, shake, find, keep, kill, send, switch, end or
// reflect.
class NoField final : public ZqGameField {
public:
    cocos2d::CCNode* camera() const override { return nullptr; }
    ZqPhysicsWorld* world() const override { return nullptr; }
    void adoptObject(ZqPObject*, ZqPObject*) override {}
    void flash(float) override {}
    void shake(float) override {}
    ZqPObjectAssetPowerup* findPowerupByName(const ZqPObjectAssetPowerup&) const override { return nullptr; }
    void saveCheckpoint(int, const cocos2d::CCPoint&) override {}
    void activateCheckpoint() override {}
    void setMagnetActive(bool) override {}
    void killAllEnemies() override {}
    std::vector<ZqPObjectAssetTeleport*> findTeleports(float) const override { return {}; }
    void queueTeleport(ZqPObjectAsset*, ZqPObjectAssetTeleport*) override {}
    void requestScreenJump(const std::string&, bool, int, int) override {}
    void setPendingAction(int) override {}
    void goToEndScreen() override {}
    void unregisterMirror(ZqPObjectAssetMirror*) override {}
};

NoField s_noField;
ZqGameFieldLookup s_current = nullptr;
ZqGameFieldLookup s_running = nullptr;

ZqGameField& lookUp(ZqGameFieldLookup lookup)
{
    ZqGameField* field = lookup ? lookup() : nullptr;
    return field ? *field : s_noField;
}

} // namespace

ZqGameField& zqCurrentField()
{
    return lookUp(s_current);
}

ZqGameField& zqRunningField()
{
    return lookUp(s_running);
}

void zqInstallFieldLookups(ZqGameFieldLookup current, ZqGameFieldLookup running)
{
    s_current = current;
    s_running = running;
}
