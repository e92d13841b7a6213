#include "tools/ZqGameBuilder.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "model/ZqAttributeTable.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqNode.h"

#include <filesystem>

namespace {

template <class Node, class Screen>
std::shared_ptr<Node> nodeWithScreen(ZqGameBuilder& builder, unsigned nodeId, unsigned screenId,
                                     const std::string& name, const std::string& key, float canvasX)
{
    std::shared_ptr<Node> node = builder.make<Node>(nodeId, name);
    std::shared_ptr<Screen> screen = builder.make<Screen>(screenId, name + " Screen");
    screen->m_key->setValue(key, true);
    ZqGameBuilder::set<ZqAttributePoint>(*node, "Position", cocos2d::CCPoint(canvasX, 0.0f));
    node->addChild(screen, true);
    return node;
}

std::string idPath(const char* format, unsigned id)
{
    char path[96];
    std::snprintf(path, sizeof path, format, id);
    return path;
}

} // namespace

void ZqGameBuilder::startGame(ZqModelController& controller, const std::string& applicationName)
{
    // The reset drops the settings' instance too: nothing of an earlier game stays in them.
    controller.reset();
    std::shared_ptr<ZqModelGeneralSettings> settings = ZqModelGeneralSettings::shared();
    controller.addModel(settings);
    settings->setId(kGeneralSettingsId);
    set<ZqAttributeString>(*settings, "Application Name", applicationName);
    set<ZqAttributeString>(*settings, "User ID", std::string(kUserId));
    set<ZqModelGeneralSettings::ZqAttributeOrientation>(*settings, "Orientation",
                                                        ZqModelGeneralSettings::Orientation::kLandscape);
    set<ZqAttributeSize>(*settings, "Design Size", cocos2d::CCSize(1136, 640));
    set<ZqAttributeUInt>(*settings, "Last ID", kGeneralSettingsId);
}

std::shared_ptr<ZqNodeUIStart> ZqGameBuilder::startNode(unsigned nodeId, unsigned screenId)
{
    return nodeWithScreen<ZqNodeUIStart, ZqModelScreen>(*this, nodeId, screenId, "Start", "ZqPScreenStart", 0.0f);
}

std::shared_ptr<ZqNodeUI> ZqGameBuilder::interfaceNode(unsigned nodeId, unsigned screenId, const std::string& key,
                                                       float canvasX)
{
    return nodeWithScreen<ZqNodeUI, ZqModelScreen>(*this, nodeId, screenId, key, key, canvasX);
}

std::shared_ptr<ZqNodeScene> ZqGameBuilder::worldNode(unsigned nodeId, unsigned sceneId, const std::string& key,
                                                      float canvasX)
{
    return nodeWithScreen<ZqNodeScene, ZqModelScreenScene>(*this, nodeId, sceneId, key, key, canvasX);
}

void ZqGameBuilder::link(ZqBaseNode& from, const std::string& port, const ZqBaseNode& to)
{
    ZqBaseAttribute* attribute = from.findAttribute(port);
    if (!attribute) {
        attribute = new ZqAttribute(port, &from);
        attribute->setConnectionType(ZqBaseAttribute::kTarget, true);
    }
    attribute->connect(to.loadPort(), true);
}

std::shared_ptr<ZqModelObjectButton> ZqGameBuilder::button(unsigned id, const std::string& name, ZqBaseNode& from,
                                                           const ZqBaseNode* to, unsigned container,
                                                           cocos2d::CCPoint position)
{
    std::shared_ptr<ZqModelObjectButton> made = make<ZqModelObjectButton>(id, name);
    if (container != 0)
        made->m_image->setValue(at<ZqModelSpriteContainer>(container), true);
    made->m_position->setValue(position, true);
    from.screen()->addChild(made, true);
    if (to)
        link(from, name, *to);
    return made;
}

std::shared_ptr<ZqModelObjectEventObserver> ZqGameBuilder::observer(unsigned id, const std::string& name,
                                                                   ZqBaseNode& from, const std::string& eventType)
{
    std::shared_ptr<ZqModelObjectEventObserver> made = make<ZqModelObjectEventObserver>(id, name);
    made->m_eventType->setValue(eventType, true);
    from.screen()->addChild(made, true);
    return made;
}

std::shared_ptr<ZqModelObjectLabel> ZqGameBuilder::label(unsigned id, const std::string& text, unsigned font,
                                                         cocos2d::CCPoint position)
{
    std::shared_ptr<ZqModelObjectLabel> made = make<ZqModelObjectLabel>(id, text + " Text");
    made->m_text->setValue(text, true);
    made->m_font->setValue(std::to_string(at<ZqModelFont>(font)->id()), true);
    made->m_position->setValue(position, true);
    return made;
}

std::shared_ptr<ZqModelLevelSection> ZqGameBuilder::section(unsigned id, const std::string& name,
                                                            ZqModelScreenScene& scene, float width,
                                                            float startDistance, bool initSection)
{
    std::shared_ptr<ZqModelLevelSection> made = make<ZqModelLevelSection>(id, name);
    made->m_initSection->setValue(initSection, true);
    made->m_startDistance->setValue(startDistance, true);
    made->m_width->setValue(width, true);
    scene.addChild(made, true);
    return made;
}

std::shared_ptr<ZqModelObjectBackground> ZqGameBuilder::layer(unsigned id, const std::string& name,
                                                             ZqModelScreenScene& scene, unsigned container,
                                                             cocos2d::CCPoint position, float scale, float speed,
                                                             int zDepth)
{
    std::shared_ptr<ZqModelObjectBackground> made = make<ZqModelObjectBackground>(id, name);
    made->m_image->setValue(at<ZqModelSpriteContainer>(container), true);
    made->m_position->setValue(position, true);
    made->m_scale->setValue(cocos2d::CCPoint(scale, scale), true);
    made->m_speed->setValue(speed, true);
    made->m_zDepth->setValue(zDepth, true);
    scene.addChild(made, true);
    return made;
}

std::shared_ptr<ZqModelLinker> ZqGameBuilder::linker(unsigned id, const std::string& name,
                                                     ZqModelLevelSection& section, unsigned objectA,
                                                     unsigned objectB, float speed, bool buttonActivated)
{
    std::shared_ptr<ZqModelLinker> made = make<ZqModelLinker>(id, name);
    made->setObjects(at<ZqModelObject>(objectA), at<ZqModelObject>(objectB), true);
    made->m_speed->setValue(speed, true);
    made->m_buttonActivated->setValue(buttonActivated, true);
    section.addChild(made, true);
    return made;
}

std::shared_ptr<ZqModelObjectAssetUnit> ZqGameBuilder::unit(unsigned id, const std::string& name, unsigned asset,
                                                            const std::string& objectType, cocos2d::CCPoint position,
                                                            cocos2d::CCPoint velocity)
{
    std::shared_ptr<ZqModelObjectAssetUnit> made = make<ZqModelObjectAssetUnit>(id, name);
    made->m_asset->setValue(at<ZqModelAssetObstacle>(asset), true);
    made->m_objectType->setValue(objectType, true);
    made->m_movementType->setValue("kMovementLinear", true);
    made->m_collisionType->setValue("kCharacterCollision", true);
    made->m_linearVelocity->setValue(velocity, true);
    made->m_position->setValue(position, true);
    return made;
}

std::shared_ptr<ZqModelObjectAssetCharacter> ZqGameBuilder::character(unsigned id, const std::string& name,
                                                                      unsigned asset, cocos2d::CCPoint position)
{
    std::shared_ptr<ZqModelObjectAssetCharacter> made = make<ZqModelObjectAssetCharacter>(id, name);
    made->m_asset->setValue(at<ZqModelAssetCharacter>(asset), true);
    made->m_position->setValue(position, true);
    return made;
}

std::shared_ptr<ZqModelObjectAssetPowerup> ZqGameBuilder::powerup(unsigned id, const std::string& name,
                                                                  unsigned asset, cocos2d::CCPoint position)
{
    std::shared_ptr<ZqModelObjectAssetPowerup> made = make<ZqModelObjectAssetPowerup>(id, name);
    made->m_asset->setValue(at<ZqModelAssetPowerup>(asset), true);
    made->m_position->setValue(position, true);
    return made;
}

std::shared_ptr<ZqModelComponentHealth> ZqGameBuilder::health(unsigned id, const std::string& name, ZqModel& owner,
                                                              float hitPoints, float lives)
{
    std::shared_ptr<ZqModelComponentHealth> made = make<ZqModelComponentHealth>(id, name);
    made->m_health->setValue(hitPoints, true);
    made->m_lives->setValue(lives, true);
    owner.addChild(made, true);
    return made;
}

std::shared_ptr<ZqModelAtlas> ZqGameBuilder::atlas(unsigned id, const std::string& name, int side, int padding)
{
    std::shared_ptr<ZqModelAtlas> made = make<ZqModelAtlas>(id, name);
    set<ZqAttributeFloat>(*made, "width", static_cast<float>(side));
    set<ZqAttributeFloat>(*made, "height", static_cast<float>(side));
    set<ZqAttributeFloat>(*made, "padding", static_cast<float>(padding));
    AtlasSheet& sheet = m_atlases[id];
    sheet.side = side;
    sheet.packer = std::make_unique<zqmedia::AtlasPacker>(side, side, padding);
    return made;
}

std::shared_ptr<ZqModelSprite> ZqGameBuilder::sprite(unsigned id, const std::string& name, unsigned atlas, int width,
                                                     int height, zqmedia::Rgba colour, zqmedia::Painter painter)
{
    std::shared_ptr<ZqModelAtlas> sheetModel = at<ZqModelAtlas>(atlas);
    AtlasSheet& sheet = m_atlases.at(atlas);
    zqmedia::AtlasFrame frame{zqSpriteFrameName(id), 0, 0, width, height, colour, painter};
    if (!sheet.packer->place(frame))
        throw std::logic_error("ZqGameBuilder: sprite " + std::to_string(id) + " does not fit its atlas");
    sheet.frames.push_back(frame);

    std::shared_ptr<ZqModelSprite> made = make<ZqModelSprite>(id, name);
    const cocos2d::CCSize size(static_cast<float>(width), static_cast<float>(height));
    set<ZqAttributeSize>(*made, "Size", size);
    set<ZqAttributeSize>(*made, "SourceSize", size);
    set<ZqAttributeRect>(*made, "Source Rect",
                         cocos2d::CCRect(static_cast<float>(frame.x), static_cast<float>(frame.y), size.width,
                                         size.height));
    sheetModel->addChild(made, true);
    return made;
}

std::shared_ptr<ZqModelSprite> ZqGameBuilder::effectSprite(unsigned id, const std::string& name, unsigned atlas,
                                                           int width, int height, zqmedia::Rgba colour,
                                                           zqmedia::Painter painter)
{
    std::shared_ptr<ZqModelSprite> made = sprite(id, name, atlas, width, height, colour, painter);
    m_effectSprites.emplace(id, zqmedia::AtlasFrame{zqSpriteFrameName(id), 0, 0, width, height, colour, painter});
    return made;
}

std::shared_ptr<ZqModelSpriteContainer> ZqGameBuilder::container(unsigned id, const std::string& name, float speed,
                                                                 std::initializer_list<unsigned> sprites)
{
    std::shared_ptr<ZqModelSpriteContainer> made = make<ZqModelSpriteContainer>(id, name);
    set<ZqAttributeFloat>(*made, "Animation Speed", speed);
    set<ZqAttributeFloat>(*made, "Duration", static_cast<float>(sprites.size()) / (30.0f * speed));
    for (unsigned sprite : sprites)
        made->addChild(at<ZqModelSprite>(sprite), true);
    return made;
}

std::shared_ptr<ZqModelAnimation> ZqGameBuilder::animation(unsigned id, unsigned frameId, const std::string& name,
                                                           unsigned container, bool loop)
{
    std::shared_ptr<ZqModelSpriteContainer> shown = at<ZqModelSpriteContainer>(container);
    std::shared_ptr<ZqModelAnimation> made = make<ZqModelAnimation>(id, name);
    std::shared_ptr<ZqModelObjectImage> frame = make<ZqModelObjectImage>(frameId, name);
    frame->m_image->setValue(shown, true);
    made->addChild(frame, true);
    made->setLoop(loop);
    made->setDuration(shown->duration());
    return made;
}

std::shared_ptr<ZqModelPolygon> ZqGameBuilder::boxShape(unsigned id, const std::string& name, float width, float height)
{
    using P = cocos2d::CCPoint;
    const float x = width / 2;
    const float y = height / 2;
    return shape(id, name, {P(-x, -y), P(x, -y), P(x, y), P(-x, y)});
}

std::shared_ptr<ZqModelPolygon> ZqGameBuilder::shape(unsigned id, const std::string& name,
                                                     std::initializer_list<cocos2d::CCPoint> points)
{
    std::shared_ptr<ZqModelPolygon> made = make<ZqModelPolygon>(id, name);
    for (const cocos2d::CCPoint& point : points)
        made->addPoint(point, true);
    return made;
}

std::shared_ptr<ZqModelFont> ZqGameBuilder::font(unsigned id, const std::string& name, int pixelSize)
{
    std::shared_ptr<ZqModelFont> made = make<ZqModelFont>(id, name);
    m_fonts[id] = pixelSize;
    return made;
}

std::shared_ptr<ZqModelSound> ZqGameBuilder::sound(unsigned id, const std::string& name, double seconds,
                                                   double frequency)
{
    std::shared_ptr<ZqModelSound> made = make<ZqModelSound>(id, name);
    m_sounds[id] = SoundFile{seconds, frequency};
    return made;
}

void ZqGameBuilder::addTo(ZqModelController& controller) const
{
    for (const std::shared_ptr<ZqModel>& model : m_models)
        controller.addModel(model);
    // The copies a duplicate registers keep the fresh ids they were made with.
    unsigned highest = lastId();
    for (const auto& entry : controller.modelsByType()) {
        for (const std::shared_ptr<ZqModel>& model : entry.second)
            highest = std::max(highest, model->id());
    }
    std::shared_ptr<ZqModelGeneralSettings> settings = ZqModelGeneralSettings::shared();
    set<ZqAttributeUInt>(*settings, "Last ID", std::max(settings->lastId(), highest));
}

std::vector<ZqMediaFile> ZqGameBuilder::writeMedia(const std::string& directory) const
{
    namespace fs = std::filesystem;
    fs::create_directories(directory);
    std::vector<ZqMediaFile> files;
    auto add = [&](bool written, const std::string& target) {
        const std::string source = (fs::path(directory) / target).string();
        if (!written)
            throw std::runtime_error("ZqGameBuilder: cannot write " + source);
        files.push_back(ZqMediaFile{source, target});
    };
    for (const char* folder : {"atlases", "fonts", "sounds"})
        fs::create_directories(fs::path(directory) / folder);
    const std::string root = directory + "/";
    for (const auto& [id, sheet] : m_atlases) {
        const std::string png = idPath("atlases/atlas_ID%u.png", id);
        const std::string plist = idPath("atlases/atlas_ID%u.plist", id);
        add(zqmedia::writeAtlas(root + png, root + plist, sheet.frames, sheet.side, sheet.side), png);
        add(true, plist);
    }
    for (const auto& [id, pixelSize] : m_fonts) {
        const std::string fnt = idPath("fonts/ZqModelFont_ID%u.fnt", id);
        const std::string page = idPath("ZqModelFont_ID%u.png", id);
        add(zqmedia::writeFont(root + fnt, page, pixelSize), fnt);
        add(true, "fonts/" + page);
    }
    for (const auto& [id, tone] : m_sounds) {
        const std::string mp3 = idPath("sounds/ZqModelSound_ID%u.mp3", id);
        add(zqmedia::writeMp3(root + mp3, tone.seconds, 22050, tone.frequency), mp3);
    }
    if (!m_effectSprites.empty())
        fs::create_directories(fs::path(directory) / "effects");
    for (const auto& [id, frame] : m_effectSprites) {
        const std::string png = idPath("effects/ZqModelSprite_ID%u.png", id);
        const std::vector<zqmedia::Rgba> pixels = zqmedia::framePixels(frame);
        const int width = frame.width;
        add(zqmedia::writePng(root + png, frame.width, frame.height,
                              [&pixels, width](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }),
            png);
    }
    if (m_effectMedia) {
        const bool written = zqmedia::writeEffectMedia(directory);
        for (const char* file : {"fx/lightMap.png", "fx/trailMap.png", "fx/flagMap.png", "shaders/WaterReflection.fsh"})
            add(written, file);
    }
    return files;
}
