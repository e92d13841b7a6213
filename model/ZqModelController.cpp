#include "model/ZqModelController.h"

#include "attributes/ZqBaseAttribute.h"
#include "model/ZqModel.h"
#include "model/ZqModelGeneralSettings.h"
#include "cocos2d.h"

#include <algorithm>

namespace {

ZqModelController* s_instance = nullptr;
// The last reset stamp handed out, by any controller.
std::uint64_t s_lastResetStamp = 0;

// The model an attribute holds (see ZqBaseAttribute::heldOwner), else empty.
std::shared_ptr<ZqModel> heldModel(const ZqBaseAttribute& attribute)
{
    auto* model = dynamic_cast<ZqModel*>(attribute.heldOwner());
    return model ? model->sharedFromThis() : nullptr;
}

} // namespace

ZqModelController* ZqModelController::shared()
{
    if (!s_instance)
        new ZqModelController(); // the constructor stores the instance; it lives to the end
    return s_instance;
}

ZqModelController* ZqModelController::existing()
{
    return s_instance;
}

ZqModelController::ZqModelController() : m_resetStamp(++s_lastResetStamp)
{
    s_instance = this;
    zqSetAttributeOwnerResolver(this);
    registerModelClasses();
}

ZqModelController::~ZqModelController()
{
    reset();
    if (s_instance == this)
        s_instance = nullptr;
    if (zqAttributeOwnerResolver() == this)
        zqSetAttributeOwnerResolver(nullptr);
}

unsigned ZqModelController::nextModelId()
{
    // 0 means "no model" in the data; a registered id would make the new model
    // unregistrable and let a reload mix the two up.
    do {
        ++m_idCounter;
    } while (m_idCounter == 0 || m_modelsById.contains(m_idCounter));
    return m_idCounter;
}

void ZqModelController::addModel(const std::shared_ptr<ZqModel>& model, int index)
{
    if (!model || !m_modelsById.insert(model->id(), model))
        return;
    m_highestId = std::max(m_highestId, model->id());
    const std::size_t typeId = model->typeId();
    if (!m_lastAddedList.second || m_lastAddedList.first != typeId)
        m_lastAddedList = {typeId, &m_modelsByType[typeId]};
    ModelList& list = *m_lastAddedList.second;
    if (index >= 0 && static_cast<std::size_t>(index) < list.size())
        list.insert(list.begin() + index, model);
    else
        list.push_back(model);
    modelAdded(model);
}

void ZqModelController::removeModel(std::shared_ptr<ZqModel> model)
{
    if (!model)
        return;
    ZqModel* registered = m_modelsById.get(model->id());
    if (!registered)
        return;
    // Another model registered under the same id (a newer one that reused it) stays.
    if (registered == model.get())
        forgetId(model->id());
    auto type = m_modelsByType.find(model->typeId());
    if (type != m_modelsByType.end()) {
        auto it = std::find(type->second.begin(), type->second.end(), model);
        if (it != type->second.end())
            type->second.erase(it);
    }
    modelRemoved(model);
}

std::shared_ptr<ZqModel> ZqModelController::forgetId(unsigned id)
{
    // Only the loss of the highest id needs a walk, and only when the counter next asks.
    if (id == m_highestId)
        m_highestIdStale = true;
    return m_modelsById.take(id);
}

void ZqModelController::raiseIdCounter()
{
    if (m_highestIdStale) {
        m_highestId = m_modelsById.highestId();
        m_highestIdStale = false;
    }
    // "Last ID" of the general settings may lie below ids of the data; new models must
    // still get ids of their own.
    m_idCounter = std::max(m_idCounter, m_highestId);
}

std::shared_ptr<ZqModel> ZqModelController::modelById(unsigned id) const
{
    const std::shared_ptr<ZqModel>* model = m_modelsById.find(id);
    return model ? *model : nullptr;
}

ZqAttributeOwner* ZqModelController::ownerById(unsigned id) const
{
    return m_modelsById.get(id);
}

ZqBaseAttribute* ZqModelController::linkSource(const ZqAttributeOwner& owner, std::string_view attributeName) const
{
    // The controller's owners are its models.
    const ZqModel& model = static_cast<const ZqModel&>(owner);
    const ZqAttributeList& attributes = model.attributes();
    if (!model.attributesAreClassLayout())
        return ZqAttributeOwnerResolver::linkSource(owner, attributeName);
    // A file's links mostly name one source attribute: its code is kept.
    const uint32_t generation = KeyDictionary::generation.load(std::memory_order_relaxed);
    if (generation != m_lastSourceGeneration || attributeName != m_lastSourceName) {
        m_lastSourceName = attributeName;
        m_lastSourceCode = keyCodeOrDefault(attributeName);
        m_lastSourceGeneration = generation;
    }
    if (m_lastSourceCode < 0)
        return ZqAttributeOwnerResolver::linkSource(owner, attributeName);
    const ZqModelKeyCodes::Class& codes = m_keyCodes.ofClass(model);
    for (int32_t i = codes.find(m_lastSourceCode); i >= 0 && static_cast<std::size_t>(i) < attributes.size();
         i = codes.next[static_cast<std::size_t>(i)]) {
        if (attributes[static_cast<std::size_t>(i)]->connectionType() == ZqBaseAttribute::kSource)
            return attributes[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

ZqModelController::ModelList ZqModelController::modelsOfType(std::size_t typeId) const
{
    auto it = m_modelsByType.find(typeId);
    return it == m_modelsByType.end() ? ModelList() : it->second;
}

void ZqModelController::notifyModelChanged(const ZqModel* model)
{
    if (model && m_modelsById.contains(model->id()))
        modelChanged(model);
}

void ZqModelController::notifyAttributeChanged(const ZqBaseAttribute* attribute, int kind)
{
    if (attribute && kind != 2 && attribute->owner() && m_modelsById.contains(attribute->owner()->id()))
        attributeChanged(attribute, kind);
}

void ZqModelController::changeModelId(ZqModel* model, unsigned oldId)
{
    if (!model || m_modelsById.get(oldId) != model)
        return;
    std::shared_ptr<ZqModel> moved = forgetId(oldId);
    // The moved model takes the new id over; a model filed under it leaves the controller
    // altogether (its type list and the models it owns too), as a reloaded one would. It
    // goes after the move, so that a child it shares with the moved model stays.
    const std::shared_ptr<ZqModel> displaced = forgetId(model->id());
    m_modelsById.insert(model->id(), std::move(moved));
    m_highestId = std::max(m_highestId, model->id());
    if (displaced)
        removeModel(displaced);
    modelChanged(model);
}

void ZqModelController::reset()
{
    ZqModelGeneralSettings::reset();
    // The maps are swapped out before the models go: a dying model's attributes notify
    // the models they were linked to, which ask this controller about their ids.
    std::map<std::size_t, ModelList> byType;
    ZqModelIdIndex byId;
    m_lastAddedList = {0, nullptr};
    byType.swap(m_modelsByType);
    byId.swap(m_modelsById);
    byType.clear();
    ZqModelIdIndex().swap(byId);
    m_changed = false;
    m_idCounter = 0;
    m_highestId = 0;
    m_highestIdStale = false;
    m_resetStamp = ++s_lastResetStamp;
    m_keyCodes.clear();
    cocos2d::CCPoolManager::sharedPoolManager()->finalize();
}

void ZqModelController::modelAdded(const std::shared_ptr<ZqModel>& model)
{
    m_changed = true;
    const ModelList children = model->children();
    for (const std::shared_ptr<ZqModel>& child : children)
        addModel(child, -1);
    // Animations and shapes belong to the model that refers to them; sprite containers
    // are shared, but a referenced one is registered too. Most models refer to none: the
    // list is copied (registering may run other code) only when there is something to do.
    const auto holds = [](const ZqBaseAttribute* attribute) { return attribute->heldOwner() != nullptr; };
    if (std::none_of(model->attributes().begin(), model->attributes().end(), holds))
        return;
    const ZqAttributeList attributes = model->attributes();
    for (const ZqBaseAttribute* attribute : attributes)
        addModel(heldModel(*attribute), -1);
}

void ZqModelController::modelRemoved(const std::shared_ptr<ZqModel>& model)
{
    m_changed = true;
    const ModelList children = model->children();
    for (const std::shared_ptr<ZqModel>& child : children) {
        const ModelList parents = child->parents();
        const bool sharedWithRegistered = std::any_of(parents.begin(), parents.end(),
            [&](const std::shared_ptr<ZqModel>& parent) { return parent != model && isRegistered(parent.get()); });
        if (!sharedWithRegistered)
            removeModel(child);
    }
    // Sprite containers may be shared with other models, so they stay.
    const ZqAttributeList attributes = model->attributes();
    for (const ZqBaseAttribute* attribute : attributes) {
        if (attribute->ownsHeldOwner())
            removeModel(heldModel(*attribute));
    }
}

void ZqModelController::modelChanged(const ZqModel* model)
{
    m_changed = true;
}

void ZqModelController::attributeChanged(const ZqBaseAttribute* attribute, int kind)
{
    m_changed = true;
}

void ZqModelController::registerModelClasses()
{
    m_registry.add(zqModelClassTable());
}

bool ZqModelController::isRegistered(const ZqModel* model) const
{
    return m_modelsById.contains(model->id());
}
