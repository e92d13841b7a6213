#pragma once

// Helpers of the object-model tests: a readable form of every attribute class the object
// models use, and of a whole model including its outline and path points.
#include "../scene/object_asset_support.h"

#include "attributes/ZqAttributeColor.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelShapes.h"

#include <algorithm>
#include <map>

namespace object_test {

using namespace object_asset_test;

inline std::string pointText(const cocos2d::CCPoint& point)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%g,%g)", point.x, point.y);
    return text;
}

// attributeValueText extended by unsigned numbers, colours, gradients, ports (their links
// as owner ids) and the empty marks of points.
inline std::string valueText(const ZqBaseAttribute& attribute)
{
    char text[96];
    if (auto* number = dynamic_cast<const ZqAttributeFloat*>(&attribute)) {
        if (number->variableValue() == 0.0f)
            return attributeValueText(attribute);
        std::snprintf(text, sizeof text, " +-%g", number->variableValue());
        return attributeValueText(attribute) + text;
    }
    if (auto* number = dynamic_cast<const ZqAttributeUInt*>(&attribute))
        return std::to_string(number->value()) + "u";
    if (auto* color = dynamic_cast<const ZqAttributeColor*>(&attribute)) {
        const cocos2d::ccColor4F& c = color->value();
        std::snprintf(text, sizeof text, "rgba(%g,%g,%g,%g)", c.r, c.g, c.b, c.a);
        return text;
    }
    if (auto* gradient = dynamic_cast<const ZqAttributeGradient*>(&attribute)) {
        std::map<float, std::string> stops;
        for (const auto& [position, c] : gradient->stops()) {
            std::snprintf(text, sizeof text, "%g:(%g,%g,%g,%g)", position, c.r, c.g, c.b, c.a);
            stops[position] = text;
        }
        std::string result = "stops[";
        for (const auto& entry : stops)
            result += entry.second + " ";
        return result + "]";
    }
    if (auto* point = dynamic_cast<const ZqAttributePoint*>(&attribute)) {
        return pointText(point->value()) + (point->isXEmpty() ? " [x empty]" : "") +
               (point->isYEmpty() ? " [y empty]" : "");
    }
    if (attribute.typeId() == ZqAttribute::staticTypeId() ||
        attribute.typeId() == ZqAttributeParticlesEmitters::staticTypeId()) {
        std::string result = "port";
        for (const ZqBaseAttribute* link : attribute.links())
            result += " " + std::to_string(link->owner() ? link->owner()->id() : 0u);
        return result;
    }
    return attributeValueText(attribute);
}

// Class, every attribute, and the outline or path points where the class keeps them.
inline std::vector<std::string> modelLines(const ZqModel& model)
{
    std::vector<std::string> lines{model.className()};
    for (const ZqBaseAttribute* attribute : model.attributes())
        lines.push_back(std::string(attribute->name()) + " = " + valueText(*attribute));
    std::vector<cocos2d::CCPoint> points;
    if (auto* own = dynamic_cast<const ZqBaseModelObjectOwnShape*>(&model)) {
        points = own->collisionShape()->points();
        lines.push_back("one way " + pointText(own->collisionShape()->oneWayCollisionVector()));
    } else if (auto* path = dynamic_cast<const ZqBaseModelObjectPath*>(&model)) {
        points = path->points();
    }
    for (const cocos2d::CCPoint& point : points)
        lines.push_back("point " + pointText(point));
    for (const std::shared_ptr<ZqModel>& child : model.children())
        lines.push_back("child " + std::to_string(child->id()));
    return lines;
}

// Gives every attribute a value other than its default; references point at the media
// (sprite container, polygon, animation, sound, then an object asset).
inline void changeEveryAttribute(ZqModel& model, const ModelList& media)
{
    int step = 1;
    for (ZqBaseAttribute* attribute : model.attributes()) {
        if (attribute == model.nameAttribute())
            continue;
        const float number = 2.5f * static_cast<float>(step++);
        if (auto* value = dynamic_cast<ZqAttributeFloat*>(attribute)) {
            value->setValue(number);
            value->setVariableValue(number / 10.0f);
        } else if (auto* count = dynamic_cast<ZqAttributeUInt*>(attribute)) {
            count->setValue(static_cast<unsigned>(step) * 1000u);
        } else if (auto* whole = dynamic_cast<ZqAttributeInt*>(attribute)) {
            whole->setValue(-step);
        } else if (auto* flag = dynamic_cast<ZqAttributeBool*>(attribute)) {
            flag->setValue(!flag->value());
        } else if (auto* point = dynamic_cast<ZqAttributePoint*>(attribute)) {
            point->setEmpty(false);
            point->setValue(cocos2d::CCPoint(number, -number));
        } else if (auto* text = dynamic_cast<ZqAttributeString*>(attribute)) {
            text->setValue(std::string(attribute->name()) + " " + std::to_string(step));
        } else if (auto* color = dynamic_cast<ZqAttributeColor*>(attribute)) {
            color->setValue(cocos2d::ccc4f(number, 1.0f, 2.0f, 3.0f));
        } else if (auto* gradient = dynamic_cast<ZqAttributeGradient*>(attribute)) {
            gradient->setColorAt(0.0f, cocos2d::ccc4f(1.0f, 0.0f, 0.0f, 1.0f));
            gradient->setColorAt(0.5f, cocos2d::ccc4f(0.0f, number, 0.0f, 0.5f));
        } else if (auto* sprite = dynamic_cast<ZqAttributeSprite*>(attribute)) {
            sprite->setValue(std::static_pointer_cast<ZqModelSpriteContainer>(media[0]));
        } else if (auto* shape = dynamic_cast<ZqAttributeShape*>(attribute)) {
            shape->setValue(std::static_pointer_cast<ZqModelPolygon>(media[1]));
        } else if (auto* animation = dynamic_cast<ZqAttributeAnimation*>(attribute)) {
            animation->setValue(std::static_pointer_cast<ZqModelAnimation>(media[2]));
        } else if (auto* sound = dynamic_cast<ZqAttributeSound*>(attribute)) {
            sound->setValue(std::static_pointer_cast<ZqModelSound>(media[3]));
        } else if (auto* object = dynamic_cast<ZqAttributeObjectAsset*>(attribute)) {
            object->setValue(std::static_pointer_cast<ZqModelObjectAsset>(media[4]));
        } else if (auto* asset = dynamic_cast<ZqAttributeAsset*>(attribute)) {
            asset->setValue(std::static_pointer_cast<ZqModelAsset>(media[5]));
        }
    }
}

} // namespace object_test
