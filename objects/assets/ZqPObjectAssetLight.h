#pragma once

#include "objects/ZqEffectDrawing.h"
#include "objects/assets/ZqPObjectAsset.h"

#include <array>
#include <memory>

class ZqModelObjectLight;

// A two-dimensional light: a textured fan around the object whose outline follows the
// shadows of the shadow-casting fixtures in the field's world, computed every update by
// ray casts. Without "Cast Shadow", or on a slow device, it is a plain square of side
// 2 x "Radius" metres. A light inside a caster, hidden, without a world or with a
// "Radius" of 0 or below draws nothing. No body of its own.
class ZqPObjectAssetLight : public ZqPObjectAsset {
public:
    // Entries of the fixed geometry arrays; the fan uses at most kMaxVertices - 1 of them
    // and the closing copy.
    static constexpr int kMaxVertices = 1024;
    // Shadow casters considered a frame.
    static constexpr int kMaxFixtures = 80;

    explicit ZqPObjectAssetLight(const std::shared_ptr<ZqModelObjectLight>& model);

    // Keeps the world; makes no body.
    void createBody(ZqPhysicsWorld* world, bool lazy) override;
    // Stores the state only; the removed state lets go of the model.
    void setState(int state) override;
    // A square of half side 20 x "Radius" about the position in the reference node's
    // space; empty without a model.
    cocos2d::CCRect boundingRect() const override;
    void update(float dt) override;
    void draw() override;

    // The fan's vertices (points, relative to the light, the centre first) of the last
    // update.
    int vertexCount() const { return m_vertexCount; }
    const cocos2d::ccVertex2F& vertex(int index) const { return m_vertices[static_cast<size_t>(index)]; }

    // The points where the tangents from point touch the circle (centre, radius): 2, or 0
    // when point lies inside it.
    static int tangentPoints(const b2Vec2& centre, float radius, const b2Vec2& point, b2Vec2& first, b2Vec2& second);

private:
    void addRay(const b2Vec2& target, const b2Vec2& offset);
    void addVertex(const b2Vec2& metres);
    // Rays towards the outline of each caster; stops when the arrays are full.
    void addFixtureRays(const b2Fixture& fixture, const b2Vec2& light);
    void castRays(b2World& world, const b2Vec2& light, float radius);
    // Whether a shadow caster contains the light.
    bool insideCaster(b2World& world, const b2Vec2& light);

    std::shared_ptr<ZqModelObjectLight> m_light;
    // The field's; not owned.
    ZqPhysicsWorld* m_world = nullptr;
    std::array<cocos2d::ccVertex2F, kMaxVertices> m_vertices{};
    std::array<cocos2d::ccTex2F, kMaxVertices> m_texCoords{};
    std::array<b2Vec2, kMaxVertices> m_rayTargets{};
    std::array<b2Vec2, kMaxVertices> m_rayOffsets{};
    int m_rayCount = 0;
    int m_vertexCount = 0;
    // The texture cache's.
    cocos2d::CCTexture2D* m_texture = nullptr;
    ZqEffectDrawing m_drawing;
};
