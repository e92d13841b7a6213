#pragma once

#include "attributes/KeyDictionary.h"
#include "attributes/ZqAttributeOwner.h"
#include "model/ZqModelIdIndex.h"
#include "model/ZqModelKeyCodes.h"
#include "model/ZqModelRegistry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ZqBaseAttribute;

// The owner and index of every model of the running game: models by id (at most one per
// id) and by class type id (ascending ids, each list in registration order). Holds the
// models by shared pointer. Process-wide, created by the first shared(); a test may
// construct its own, which becomes the instance until it is destroyed. The instance is
// also the resolver through which attributes find the models their links name. The game
// data is read into it by the loader (model/loading/ZqModelLoader.h).
class ZqModelController : public ZqAttributeOwnerResolver {
public:
    using ModelList = std::vector<std::shared_ptr<ZqModel>>;

    // The instance, created on first call.
    static ZqModelController* shared();
    // The instance or null; never creates one (notifications during shutdown use it).
    static ZqModelController* existing();

    ZqModelController();
    ZqModelController(const ZqModelController&) = delete;
    ZqModelController& operator=(const ZqModelController&) = delete;
    virtual ~ZqModelController();

    // The id for a new model: one above the last handed out, passing over 0 and every id
    // that is registered.
    unsigned nextModelId();

    // Registers the model and, through modelAdded, its children. Nothing for null or an id
    // already registered. index -1 (or past the end) appends to the type list.
    void addModel(const std::shared_ptr<ZqModel>& model, int index = -1);
    // Unregisters the model and its children that have no other registered parent. The id
    // entry goes only when it holds this very model.
    void removeModel(std::shared_ptr<ZqModel> model);
    std::shared_ptr<ZqModel> modelById(unsigned id) const;
    ZqAttributeOwner* ownerById(unsigned id) const override;
    // By the name's key code through the class's code table when the model's attributes
    // are its class's own, else by name.
    ZqBaseAttribute* linkSource(const ZqAttributeOwner& owner, std::string_view attributeName) const override;
    // A copy of the list of models of exactly that class.
    ModelList modelsOfType(std::size_t typeId) const;
    const std::map<std::size_t, ModelList>& modelsByType() const { return m_modelsByType; }

    // Typed forms (exact class or kind, see model/ZqModelAccess.h); empty when nothing fits.
    template <class T>
    std::shared_ptr<T> getModel(unsigned id) const;
    template <class T>
    std::shared_ptr<T> getModelOfKind(unsigned id) const;
    // The models of exactly class T, in registration order.
    template <class T>
    std::vector<std::shared_ptr<T>> modelsOfClass() const;
    // The models of class T and its subclasses: grouped by class in ascending type-id
    // order, each group in registration order.
    template <class T>
    std::vector<std::shared_ptr<T>> modelsOfKind() const;
    // T::create(args...), registered at the end of its type list.
    template <class T, class... Args>
    std::shared_ptr<T> createModel(Args&&... args);

    // The reader codes of the fixed keys and of each class's attributes, found once a load
    // (dropped by reset and by another key dictionary).
    ZqModelKeyCodes& keyCodes() { return m_keyCodes; }

    // The model classes that the game data can name; filled once, by the constructor.
    const ZqModelRegistry& registry() const { return m_registry; }

    void notifyModelChanged(const ZqModel* model);
    void notifyAttributeChanged(const ZqBaseAttribute* attribute, int kind);
    // Re-files a model under its new id when oldId holds this very model; a model that
    // held the new id is removed as removeModel does.
    void changeModelId(ZqModel* model, unsigned oldId);

    // Drops every model (the general settings' instance too), clears the changed flag and
    // the id counter, takes a new reset stamp and drains the engine's autorelease pools.
    void reset();
    // A number no other controller had, nor this one before its last reset: state kept
    // for the models of one load (the loader's) is stale once it changes.
    std::uint64_t resetStamp() const { return m_resetStamp; }

    bool isChanged() const { return m_changed; }
    const std::string& dataDirectory() const { return m_dataDirectory; }
    // How many models are registered.
    std::size_t modelCount() const { return m_modelsById.size(); }
    // The model under id without a share of it, else null.
    ZqModel* modelAt(unsigned id) const { return m_modelsById.get(id); }

    // Raised above every registered id by the loading (see setIdCounter).
    unsigned idCounter() const { return m_idCounter; }
    // The general settings set it to their "Last ID"; the loading raises it again above
    // the ids it registered, so new models never collide with loaded ones.
    // The index makes room for ids up to it.
    void setIdCounter(unsigned counter)
    {
        m_idCounter = counter;
        m_modelsById.reserve(counter);
    }
    // More classes for the data to name (tests add their own); a known name keeps its row.
    void addModelClasses(std::span<const ZqModelClass> rows) { m_registry.add(rows); }
    // Raises the id counter to the highest registered id, which is kept as models are
    // registered rather than found by walking every id.
    void raiseIdCounter();

protected:
    virtual void modelAdded(const std::shared_ptr<ZqModel>& model);
    virtual void modelRemoved(const std::shared_ptr<ZqModel>& model);
    virtual void modelChanged(const ZqModel* model);
    virtual void attributeChanged(const ZqBaseAttribute* attribute, int kind);

private:
    bool isRegistered(const ZqModel* model) const;
    void registerModelClasses();
    // Takes the model under id out of the index.
    std::shared_ptr<ZqModel> forgetId(unsigned id);

    // Filled as the loader asks (linkSource too): a cache of the installed dictionary.
    mutable ZqModelKeyCodes m_keyCodes;
    // The last link source name looked up, with its code and dictionary.
    mutable std::string m_lastSourceName;
    mutable int32_t m_lastSourceCode = -1;
    mutable uint32_t m_lastSourceGeneration = 0;

    ZqModelRegistry m_registry;
    std::map<std::size_t, ModelList> m_modelsByType;
    // The list the last model added went to (models mostly come class by class).
    std::pair<std::size_t, ModelList*> m_lastAddedList{0, nullptr};
    ZqModelIdIndex m_modelsById;
    bool m_changed = false;
    unsigned m_idCounter = 0;
    unsigned m_highestId = 0;     // the highest registered id, unless stale
    bool m_highestIdStale = false; // the highest id went; found again on the next raise
    std::uint64_t m_resetStamp = 0;
    std::string m_dataDirectory = "data";
};

template <class T>
std::shared_ptr<T> ZqModelController::getModel(unsigned id) const
{
    return modelCast<T>(modelById(id));
}

template <class T>
std::shared_ptr<T> ZqModelController::getModelOfKind(unsigned id) const
{
    return modelKindCast<T>(modelById(id));
}

template <class T>
std::vector<std::shared_ptr<T>> ZqModelController::modelsOfClass() const
{
    std::vector<std::shared_ptr<T>> result;
    auto list = m_modelsByType.find(T::staticTypeId());
    if (list == m_modelsByType.end())
        return result;
    result.reserve(list->second.size());
    // A type list holds models of exactly its class.
    for (const std::shared_ptr<ZqModel>& model : list->second)
        result.push_back(std::static_pointer_cast<T>(model));
    return result;
}

template <class T>
std::vector<std::shared_ptr<T>> ZqModelController::modelsOfKind() const
{
    std::vector<std::shared_ptr<T>> result;
    for (const auto& [typeId, models] : m_modelsByType) {
        // One class per list: its first model decides for all of them.
        if (models.empty() || !modelKindCast<T>(models.front()))
            continue;
        for (const std::shared_ptr<ZqModel>& model : models)
            result.push_back(std::static_pointer_cast<T>(model));
    }
    return result;
}

template <class T, class... Args>
std::shared_ptr<T> ZqModelController::createModel(Args&&... args)
{
    std::shared_ptr<T> model = T::create(std::forward<Args>(args)...);
    addModel(model, -1);
    return model;
}
