#pragma once

#include "attributes/ZqAnimationCurve.h"
#include "attributes/ZqAttributeValue.h"

// A two-dimensional value (position, scale, speed, force, in points or the owner's units)
// with a random spread per axis, a range per axis, per-axis "empty" marks and owned
// animation curves per state, one set for x and one for y.
// Packed as {"value": [x, y], "variableValue": [x, y], "isXEmpty", "isYEmpty",
// "animationsX" and "animationsY" (each only with curves)}; the range and the
// empty-allowed flag come from the model's constructor and are not written.
// Reading (MessagePack or dictionary) stores values as they come: no clamping, no
// notification. Only ZqAttributePoint is made; this base holds the behaviour.
class ZqBaseAttributePoint : public ZqAttributeValue<cocos2d::CCPoint> {
public:
    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // "value" and "variableValue" must be arrays of exactly two numbers, else
    // msgpack::type_error (entries read before keep their new values). A present but empty
    // "animationsX" (or "animationsY") keeps that axis's curves.
    bool readEntry(const MessagePackEntry& entry) override;
    // "value", "variableValue" (points), "isXEmpty" and "isYEmpty".
    void entryFields(ZqEntryFields& fields) override;

    // Engine-dictionary form: points as "{%.3f,%.3f}", flags as "%d". The spread is
    // written only when it is not (0, 0). Reading takes "isYEmpty" only while empty values
    // are allowed.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;

    // The x curve of exactly that state, then the y curve (zero, one or two curves).
    std::vector<ZqAnimationCurve*> curvesForState(int state) const override;
    // curves[0] for x and curves[1] for y under the state, owned from now on; a null entry
    // removes that axis's curve. The curves held under this state may be given back (also
    // swapped); any other curve given must not be owned elsewhere. Notifies per axis.
    // Fewer than two curves: throws std::out_of_range; they are freed and nothing changes.
    void setCurvesForState(std::vector<std::unique_ptr<ZqAnimationCurve>> curves, int state) override;

    // Clamps each axis into its range; stores and, unless silent, notifies only on a change.
    void setValue(const cocos2d::CCPoint& value, bool silent = false);
    // Set-up by the model constructors: stored as given, without notification.
    void setRange(const cocos2d::CCPoint& minValue, const cocos2d::CCPoint& maxValue);
    // Sets both axes' marks; notifies (unless silent) only when empty values are allowed.
    void setEmpty(bool empty, bool silent = false);
    // Allowing only stores the flag; forbidding clears both marks, notifying each clearing
    // unless silent.
    void setEmptyAllowed(bool allowed, bool silent = false);

    // A draw from value +- spread per axis with r = zqRandUnit(): the first draw serves y,
    // the second x.
    cocos2d::CCPoint randomValue() const;
    // Each axis's curve of exactly that state at time (seconds); 0 for an axis without one.
    // The animated value is value() + curveOffset(time, state).
    cocos2d::CCPoint curveOffset(float time, int state) const;

    const cocos2d::CCPoint& variableValue() const { return m_variableValue; }
    const cocos2d::CCPoint& minValue() const { return m_min; }
    const cocos2d::CCPoint& maxValue() const { return m_max; }
    bool allowEmpty() const { return m_allowEmpty; }
    bool isXEmpty() const { return m_isXEmpty; }
    bool isYEmpty() const { return m_isYEmpty; }
    const CurveSet& curvesX() const { return m_curvesX.get(); }
    const CurveSet& curvesY() const { return m_curvesY.get(); }
    bool hasCurves() const { return !m_curvesX.empty() || !m_curvesY.empty(); }

protected:
    // Value and spread (0, 0), the full float range, nothing empty, no curves.
    ZqBaseAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag);
    // The base copy, then the fields; the empty marks only when empty values are allowed;
    // curves cloned.
    ZqBaseAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributePoint& source);

    cocos2d::CCPoint m_variableValue;
    cocos2d::CCPoint m_min;
    cocos2d::CCPoint m_max;
    bool m_allowEmpty = false;
    bool m_isXEmpty = false;
    bool m_isYEmpty = false;
    SparseCurveSet m_curvesX;
    SparseCurveSet m_curvesY;
};

class ZqAttributePoint : public ZqBaseAttributePoint {
public:
    ZqAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag = 0);
    ZqAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributePoint& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributePoint)
};
