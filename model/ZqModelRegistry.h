#pragma once

#include "model/ZqModelIdentity.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The name the registration row of a class gives its new models; empty for a class without
// one or without a row.
std::string_view zqModelDefaultName(std::string_view className);

// The plain factory of a registered class, inside its public section: a new model with
// the class's default name, wrapped and given its self pointer (zqCreateModel), not
// registered with the controller.
#define ZQ_MODEL_FACTORY(ClassName)                                                         \
    static std::shared_ptr<ClassName> create()                                               \
    {                                                                                        \
        static const std::string defaultName(zqModelDefaultName(#ClassName));               \
        return zqCreateModel<ClassName>(defaultName);                                        \
    }

// One row of the registration table (model/ZqModelRegistry.cpp).
struct ZqModelClass {
    const char* className;
    // The class's plain factory.
    std::shared_ptr<ZqModel> (*create)();
    // The class's copy factory; empty when the source is not exactly of the class. Null for
    // a class without copies (the general settings).
    std::shared_ptr<ZqModel> (*copy)(const ZqModel& source);
    // The name a new model of the class gets (ZQ_MODEL_FACTORY); empty for none.
    std::string_view defaultName = {};
};

// The row of class X, from X::staticClassName, X::create() and X::create(const X&).
template <class X>
ZqModelClass zqModelClassRow(std::string_view defaultName = {})
{
    return {X::staticClassName(), [] { return std::shared_ptr<ZqModel>(X::create()); },
            [](const ZqModel& source) {
                if (source.typeId() != X::staticTypeId())
                    return std::shared_ptr<ZqModel>();
                return std::shared_ptr<ZqModel>(X::create(static_cast<const X&>(source)));
            },
            defaultName};
}

// The rows of the model classes that exist, in registration order.
std::span<const ZqModelClass> zqModelClassTable();

// Class name -> row. The controller holds one, filled from the table when it is made.
class ZqModelRegistry {
public:
    // Inserts the rows in order; a class name already present keeps its first row.
    void add(std::span<const ZqModelClass> rows);

    // The row of exactly that name (letter case and blanks count), else null.
    const ZqModelClass* find(const std::string& className) const;
    // A new model of that class, not registered with the controller; for a name the
    // registry does not know, nothing, with a log line.
    std::shared_ptr<ZqModel> create(const std::string& className) const;

    std::size_t size() const { return m_rows.size(); }
    // The registered class names in registration order.
    const std::vector<std::string>& classNames() const { return m_names; }

private:
    std::unordered_map<std::string, ZqModelClass> m_rows;
    std::vector<std::string> m_names;
};
