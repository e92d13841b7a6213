#pragma once

#include "model/ZqAttributeTable.h"
#include "model/ZqModelAccess.h"
#include "model/ZqModelIdentity.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqMediaWriter.h"
#include "cocos2d.h"

#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class ZqBaseNode;
class ZqModelAtlas;
class ZqModelController;
class ZqModelFont;
class ZqModelComponentHealth;
class ZqModelLevelSection;
class ZqModelLinker;
class ZqModelObjectAssetCharacter;
class ZqModelObjectAssetPowerup;
class ZqModelObjectAssetUnit;
class ZqModelObjectBackground;
class ZqModelObjectEventObserver;
class ZqModelObjectButton;
class ZqModelObjectLabel;
class ZqModelPolygon;
class ZqModelScreenScene;
class ZqModelSound;
class ZqModelSprite;
class ZqModelSpriteContainer;
class ZqModelAnimation;
class ZqNodeScene;
class ZqNodeUI;
class ZqNodeUIStart;

// Makes the models of a game with fixed ids, and the media files they name: the one way
// the project makes games (the sample game, and the generated games of tests). Models are
// kept in making order; addTo registers them, writeMedia writes their files for the data
// writer. A reused id or a wrong class is a std::logic_error.
class ZqGameBuilder {
public:
    // The general settings' id in every game made here.
    static constexpr unsigned kGeneralSettingsId = 1;
    // Their "User ID", which scrambles the key file.
    static constexpr const char* kUserId = "zq-sample-0001";

    // Resets the controller and registers fresh general settings (id 1) with the
    // application name, a non-empty "User ID" (the key file is really scrambled) and a
    // landscape 1136 x 640 design.
    static void startGame(ZqModelController& controller, const std::string& applicationName);
    // Sets an attribute by its key silently, as the data would.
    template <class Attribute, class Value>
    static void set(ZqModel& model, const char* key, const Value& value);

    template <class T>
    std::shared_ptr<T> make(unsigned id, const std::string& name);
    // Keeps a model made elsewhere (a duplicate of another, say) under id, as make does.
    template <class T>
    std::shared_ptr<T> adopt(unsigned id, std::shared_ptr<T> model);
    template <class T>
    std::shared_ptr<T> at(unsigned id) const;

    // Flow graph. Every node holds its screen; canvasX is its place in the editor.
    // The start node's screen has the key "ZqPScreenStart".
    std::shared_ptr<ZqNodeUIStart> startNode(unsigned nodeId, unsigned screenId);
    // An interface node with a menu screen.
    std::shared_ptr<ZqNodeUI> interfaceNode(unsigned nodeId, unsigned screenId, const std::string& key, float canvasX);
    // A world node with a screen scene (the game field).
    std::shared_ptr<ZqNodeScene> worldNode(unsigned nodeId, unsigned sceneId, const std::string& key, float canvasX);
    // The target port of from named port (made when missing), linked to the "Load" port of
    // to; a world node's "UI" port leads to its overlay.
    static void link(ZqBaseNode& from, const std::string& port, const ZqBaseNode& to);
    // A button on from's screen showing container (0: none), named like the port it
    // follows to to (no link without to).
    std::shared_ptr<ZqModelObjectButton> button(unsigned id, const std::string& name, ZqBaseNode& from,
                                                const ZqBaseNode* to, unsigned container, cocos2d::CCPoint position);
    // An event observer of eventType (such as "kGameOver") on from's screen, named like the
    // port whose screen it switches to.
    std::shared_ptr<ZqModelObjectEventObserver> observer(unsigned id, const std::string& name, ZqBaseNode& from,
                                                         const std::string& eventType);
    // A fixed text in a font of this game.
    std::shared_ptr<ZqModelObjectLabel> label(unsigned id, const std::string& text, unsigned font,
                                              cocos2d::CCPoint position);

    // A level section of the scene, width points wide.
    std::shared_ptr<ZqModelLevelSection> section(unsigned id, const std::string& name, ZqModelScreenScene& scene,
                                                 float width, float startDistance, bool initSection);

    // A background layer of the scene centred at position, scrolling at speed times the
    // field's, its picture drawn scale times its size, zDepth behind or before the field.
    std::shared_ptr<ZqModelObjectBackground> layer(unsigned id, const std::string& name, ZqModelScreenScene& scene,
                                                   unsigned container, cocos2d::CCPoint position, float scale,
                                                   float speed, int zDepth);

    // A linker of section joining its objects of ids objectA and objectB: a motor turning
    // at speed radians a second (the default "Torque"), driven by the motor actions when
    // buttonActivated.
    std::shared_ptr<ZqModelLinker> linker(unsigned id, const std::string& name, ZqModelLevelSection& section,
                                          unsigned objectA, unsigned objectB, float speed, bool buttonActivated);

    // A unit placed at position on the obstacle asset of that id, of objectType (such as
    // "kPlatformObjectType"), colliding with characters, moving linearly at velocity (in
    // units of 32 points a second).
    std::shared_ptr<ZqModelObjectAssetUnit> unit(unsigned id, const std::string& name, unsigned asset,
                                                 const std::string& objectType, cocos2d::CCPoint position,
                                                 cocos2d::CCPoint velocity = cocos2d::CCPoint());
    // A character placed at position on the character asset of that id.
    std::shared_ptr<ZqModelObjectAssetCharacter> character(unsigned id, const std::string& name, unsigned asset,
                                                           cocos2d::CCPoint position);
    // A power-up placed at position on the power-up asset of that id.
    std::shared_ptr<ZqModelObjectAssetPowerup> powerup(unsigned id, const std::string& name, unsigned asset,
                                                       cocos2d::CCPoint position);
    // A health component of owner (a character asset): its hit points and lives.
    std::shared_ptr<ZqModelComponentHealth> health(unsigned id, const std::string& name, ZqModel& owner,
                                                   float hitPoints, float lives);
    // Media. An atlas texture side x side pixels; its sprites are packed as they are made.
    std::shared_ptr<ZqModelAtlas> atlas(unsigned id, const std::string& name, int side, int padding);
    // A sprite of the atlas, width x height points: drawn by painter in colour, or that
    // colour all over without a painter.
    std::shared_ptr<ZqModelSprite> sprite(unsigned id, const std::string& name, unsigned atlas, int width, int height,
                                          zqmedia::Rgba colour, zqmedia::Painter painter = nullptr);
    // The same sprite, also written as its own image under "effects/", where particle
    // emitters find their textures.
    std::shared_ptr<ZqModelSprite> effectSprite(unsigned id, const std::string& name, unsigned atlas, int width,
                                                int height, zqmedia::Rgba colour, zqmedia::Painter painter = nullptr);
    // Adds the effects' shared images ("fx/") and the mirrors' shader ("shaders/", see
    // zqmedia::writeEffectMedia) to the files writeMedia writes.
    void addEffectMedia() { m_effectMedia = true; }
    // Frames of sprites at 30 a second times speed.
    std::shared_ptr<ZqModelSpriteContainer> container(unsigned id, const std::string& name, float speed,
                                                      std::initializer_list<unsigned> sprites);
    // An animation of one image frame (id frameId) showing the container.
    std::shared_ptr<ZqModelAnimation> animation(unsigned id, unsigned frameId, const std::string& name,
                                                unsigned container, bool loop);
    // A collision outline: a centred box, or counter-clockwise points around the centre.
    std::shared_ptr<ZqModelPolygon> boxShape(unsigned id, const std::string& name, float width, float height);
    std::shared_ptr<ZqModelPolygon> shape(unsigned id, const std::string& name,
                                          std::initializer_list<cocos2d::CCPoint> points);
    // A bitmap font of the printable ASCII characters rendered from the default typeface
    // at pixelSize pixels a line.
    std::shared_ptr<ZqModelFont> font(unsigned id, const std::string& name, int pixelSize = 16);
    // A tone of seconds at frequency hertz, written as MP3.
    std::shared_ptr<ZqModelSound> sound(unsigned id, const std::string& name, double seconds, double frequency = 440.0);

    const std::vector<std::shared_ptr<ZqModel>>& models() const { return m_models; }
    unsigned lastId() const { return m_byId.empty() ? kGeneralSettingsId : m_byId.rbegin()->first; }

    // Registers every model in making order and raises the general settings' "Last ID" to
    // the highest id the controller holds. The controller holds the general settings
    // (startGame).
    void addTo(ZqModelController& controller) const;
    // Writes the media files into directory (created when missing) and answers them as the
    // data writer takes them. std::runtime_error when a file cannot be written.
    std::vector<ZqMediaFile> writeMedia(const std::string& directory) const;

private:
    struct AtlasSheet {
        int side = 0;
        std::unique_ptr<zqmedia::AtlasPacker> packer;
        std::vector<zqmedia::AtlasFrame> frames;
    };
    struct SoundFile {
        double seconds;
        double frequency;
    };

    std::vector<std::shared_ptr<ZqModel>> m_models;
    std::map<unsigned, std::shared_ptr<ZqModel>> m_byId;
    std::map<unsigned, AtlasSheet> m_atlases;
    std::map<unsigned, int> m_fonts; // id -> pixel size
    std::map<unsigned, SoundFile> m_sounds;
    std::map<unsigned, zqmedia::AtlasFrame> m_effectSprites;
    bool m_effectMedia = false;
};

template <class Attribute, class Value>
void ZqGameBuilder::set(ZqModel& model, const char* key, const Value& value)
{
    Attribute* attribute = zqRebindAttribute<Attribute>(model, key);
    if (!attribute)
        throw std::logic_error(std::string("ZqGameBuilder: ") + model.className() + " lacks " + key);
    attribute->setValue(value, true);
}

template <class T>
std::shared_ptr<T> ZqGameBuilder::make(unsigned id, const std::string& name)
{
    std::shared_ptr<T> model = T::create();
    model->setName(name);
    return adopt(id, std::move(model));
}

template <class T>
std::shared_ptr<T> ZqGameBuilder::adopt(unsigned id, std::shared_ptr<T> model)
{
    model->setId(id);
    // A reused id would let the controller drop the later model without a word.
    if (id == kGeneralSettingsId || !m_byId.emplace(id, model).second)
        throw std::logic_error("ZqGameBuilder: id " + std::to_string(id) + " is used twice");
    m_models.push_back(model);
    return model;
}

template <class T>
std::shared_ptr<T> ZqGameBuilder::at(unsigned id) const
{
    auto found = m_byId.find(id);
    std::shared_ptr<T> model = found == m_byId.end() ? nullptr : modelKindCast<T>(found->second);
    if (!model)
        throw std::logic_error("ZqGameBuilder: model " + std::to_string(id) + " is no " + T::staticClassName());
    return model;
}
