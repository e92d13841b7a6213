#pragma once

#include "attributes/ZqAttributeValue.h"

#include <map>
#include <vector>

// A colour with alpha, each component a float (normally 0..1).
// Packed as {"value": [r, g, b, a]}; reading stores the four as they come (exactly four
// numbers, else msgpack::type_error), without notification. Only ZqAttributeColor is made.
class ZqBaseAttributeColor : public ZqAttributeValue<cocos2d::ccColor4F> {
public:
    // Engine-dictionary form: {"r", "g", "b", "a"} as "%f" texts. Reading takes the four
    // from the given dictionary (an absent one reads as 0) and stores them when any differs.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;

protected:
    ZqBaseAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqBaseAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeColor& source);
};

class ZqAttributeColor : public ZqBaseAttributeColor {
public:
    ZqAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeColor& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeColor)
};

// A colour gradient: colour stops keyed by their exact position (+0 and -0 are one key).
// Iteration, and so the packed order, is the map's own; readers never depend on it.
// Packed as {"gradients": [{"pos": float, "color": [r, g, b, a]}, ...]}, nothing without
// stops. Reading merges into the stops present (a stop read at a known position takes the
// colour read, a new one starts as (0, 0, 0, 0)); no notification. An element without a
// finite "pos" is skipped: it has no position to go to.
class ZqAttributeGradient : public ZqAttribute {
public:
    using Stops = std::map<float, cocos2d::ccColor4F>;  // by position, so packing is ordered

    ZqAttributeGradient(ZqAttributeName name, ZqAttributeOwner* owner);
    // The base copy, then every stop.
    ZqAttributeGradient(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeGradient& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeGradient)

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // "gradients" must be an array of maps whose "pos" is a number and "color" four
    // numbers, else msgpack::type_error; the elements before the bad one stay merged.
    void unpackAttributes(const MessagePackMap& map) override;

    // {"gradients": [{"pos", "r", "g", "b", "a"} as "%f" texts, ...]}; merged like above.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;

    // Finds or adds the stop at position and stores the colour; unless silent, notifies.
    // A position that is not finite could never be found again and is refused.
    void setColorAt(float position, const cocos2d::ccColor4F& color, bool silent = false);
    const Stops& stops() const { return m_stops; }

private:
    Stops m_stops;
};
