#pragma once

#include "cocos2d.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class ZqModel;
class ZqModelAnimation;
class ZqPObject;

// Plays one animation model: a node for each frame model (images, texts, and the objects the
// asset-object factory makes), nested as the models are, at its own clock against the
// model's "Duration". Visibility, tag, an opacity factor and the reference node pass on to
// the frame nodes. Its owner updates it; the engine never schedules it.
class ZqPAnimationObject final : public cocos2d::CCNode {
public:
    // Autoreleased. owner is the object that will hold it (unused while building);
    // setSpawnSources marks the spawner units among the frames as spawn sources.
    static ZqPAnimationObject* create(const std::shared_ptr<ZqModelAnimation>& model, ZqPObject* owner = nullptr,
                                      bool setSpawnSources = true);
    ~ZqPAnimationObject() override;

    // While visible the clock advances by "Speed" x dt and the frames update (particles at
    // dt, the others at "Speed" x dt). Past "Duration" the clock goes back to 0 and the
    // finished callback runs; without "Loop" the frame animations then stop.
    void update(float dt) override;
    // The parent's z order when parented.
    int getZOrder() const override;
    void setVisible(bool visible) override;
    // Takes the parent's tag, and gives it to every frame node.
    void setParent(cocos2d::CCNode* parent) override;

    // Clock to 0 and the images from their first frame; the particles start again.
    void restart();
    // Clock to 0; the images' and the particles' animations stop.
    void stop();
    void pauseImageActions();
    void resumeImageActions();
    // Every image shows frame index of its sprite container.
    void showFrame(int index);
    // "Duration" in frames of 1/30 s, truncated.
    int durationInFrames() const;
    int frameCount() const;
    // The node of the frame model at index; null when none was made.
    cocos2d::CCNode* childNodeAt(int index) const;
    cocos2d::CCRect boundingRect() const { return m_boundingRect; }
    // The union of the children's scaled boxes centred on this object's position; the zero
    // rectangle without children.
    void updateBoundingRect();
    void setOpacityFactor(float factor);
    float opacityFactor() const { return m_opacityFactor; }
    void setChildrenReferenceNode(cocos2d::CCNode* node);
    // The z order, inside the game-field camera, of the outermost container of this object.
    int zOrderInCamera() const;
    float elapsed() const { return m_elapsed; }
    void setFinishedCallback(std::function<void()> callback) { m_finished = std::move(callback); }
    const std::shared_ptr<ZqModelAnimation>& model() const { return m_model; }

    // The first live parent of model that is an object model; empty when none.
    static std::shared_ptr<ZqModel> firstParentObjectModel(const std::shared_ptr<ZqModel>& model);

private:
    explicit ZqPAnimationObject(const std::shared_ptr<ZqModelAnimation>& model);
    void build(bool setSpawnSources);
    cocos2d::CCNode* makeFrameNode(const std::shared_ptr<ZqModel>& frame, bool setSpawnSources);
    // Calls action on every frame node that is a Node.
    template <class Node, class Action>
    void forEachFrame(Action action) const;

    // What update reads first, so that it touches fewer cache lines.
    float m_elapsed = 0.0f;
    // Whether any frame node is a particles object.
    bool m_hasParticles = false;
    // Whether every frame node is an image, whose visibility only this object sets.
    bool m_imagesOnly = true;
    std::shared_ptr<ZqModelAnimation> m_model;
    // Frame nodes in the order the frames were made, retained; each is a child of this
    // object or of another frame node.
    std::vector<std::pair<std::shared_ptr<ZqModel>, cocos2d::CCNode*>> m_nodes;
    cocos2d::CCRect m_boundingRect;
    std::function<void()> m_finished;
    float m_opacityFactor = 1.0f;
};
