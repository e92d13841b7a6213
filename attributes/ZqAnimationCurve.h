#pragma once

#include "attributes/ZqBaseAttribute.h"

#include <map>
#include <memory>
#include <vector>

#include <msgpack.hpp>

namespace cocos2d {
class CCArray;
class CCDictionary;
}

// One keyframe: y at x, with the Bezier handles (y values) on either side.
struct ZqCurvePoint {
    float inHandle = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float outHandle = 0.0f;
};

// A keyframe curve that animates a number over time: points sorted by x, evaluated
// between neighbours as a cubic Bezier in y whose parameter runs linearly with x.
// Serial form: {"points": [[x, y], [in, out], ...], "preset": int}.
class ZqAnimationCurve : public ZqMessagePackInterface {
public:
    // The preset of a new curve; the player only stores it and writes it back.
    static constexpr int32_t kDefaultPreset = 4;

    ZqAnimationCurve() = default;

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // Appends the points read, in file order (no sorting, merging or smoothing); a pair
    // holding a number that is not finite is dropped. Throws msgpack::type_error on a
    // malformed "points" or "preset" (the points appended before stay).
    void unpackAttributes(const MessagePackMap& map) override;
    void packConnections(MessagePackMap& map) const override {}
    void unpackConnections(const MessagePackMap& map) override {}

    // Engine-dictionary form: "points" an array of "{%.3f,%.3f}" texts, "preset" "%d".
    // loadFromDictionary appends like unpackAttributes; saveToDictionary is autoreleased.
    virtual void loadFromDictionary(cocos2d::CCDictionary* dictionary);
    virtual cocos2d::CCDictionary* saveToDictionary() const;

    // Inserts the point (note: y first) in x order, or sets all three y values of the
    // point with exactly this x; a new point re-smooths the handles of inner points.
    void addPoint(float y, float x);
    // The curve at x: 0 without points, the first y before the first point, the last y
    // at or after the last point. Allocates nothing; single precision.
    float valueAt(float x) const;
    // The same points with freshly smoothed handles and the default preset.
    std::unique_ptr<ZqAnimationCurve> clone() const;

    const std::vector<ZqCurvePoint>& points() const { return m_points; }
    int32_t preset() const { return m_preset; }

private:
    void appendReadPoint(float x, float y, float inHandle, float outHandle);
    void smoothHandles();

    std::vector<ZqCurvePoint> m_points;
    int32_t m_preset = kDefaultPreset;
};

// Curves per animation state, owned. Scalar and point attributes hold one (or two).
using CurveSet = std::map<int32_t, std::unique_ptr<ZqAnimationCurve>>;

// An attribute's curve set, made when it is first written: most attributes never have a
// curve, and an empty map in each of them would weigh more than the attribute's value.
class SparseCurveSet {
public:
    SparseCurveSet() = default;
    SparseCurveSet(CurveSet set) { *this = std::move(set); }
    SparseCurveSet& operator=(CurveSet set)
    {
        m_set = set.empty() ? nullptr : std::make_unique<CurveSet>(std::move(set));
        return *this;
    }
    // The set, empty while none was made.
    const CurveSet& get() const { return m_set ? *m_set : emptySet(); }
    // The set to write into, made now if need be.
    CurveSet& edit()
    {
        if (!m_set)
            m_set = std::make_unique<CurveSet>();
        return *m_set;
    }
    bool empty() const { return !m_set || m_set->empty(); }

private:
    // Inline: attributes without curves answer every frame.
    static const CurveSet& emptySet()
    {
        static const CurveSet none;
        return none;
    }

    std::unique_ptr<CurveSet> m_set;
};

// Serial forms of a set. The readers build a complete new set for the caller to swap in,
// so a throw half-way leaves the caller's set as it was and leaks nothing. An entry
// without a state (-1) is dropped; of two entries with one state the later is kept.
// The elements are {"state": int, "animation": curve map}, made in the zone.
std::vector<msgpack::object> packCurveSet(const CurveSet& set, msgpack::zone* zone);
CurveSet unpackCurveSet(const std::vector<msgpack::object>& elements);
// An "animations" entry: an array (else msgpack::type_error); a non-empty one replaces the
// set once it is read whole, an empty one keeps it.
void unpackCurveSetEntry(const msgpack::object& object, CurveSet& set);
// Null for an empty set, else an autoreleased array of {"state", "animation"} dictionaries.
cocos2d::CCArray* saveCurveSet(const CurveSet& set);
CurveSet loadCurveSet(cocos2d::CCArray* array);
CurveSet copyCurveSet(const CurveSet& set);
// The curve stored under exactly that state, or null.
ZqAnimationCurve* curveForState(const CurveSet& set, int32_t state);
