#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class ZqBaseAttribute;
class ZqModel;

// The owner and index of every model of the running game: models by id (at most one per
// id) and by class type id (ascending ids, each list in registration order). Holds the
// models by shared pointer. Process-wide, created by the first shared(); a test may
// construct its own, which becomes the instance until it is destroyed.
class ZqModelController {
public:
    using ModelList = std::vector<std::shared_ptr<ZqModel>>;

    // The cursor of the step-by-step loading of the game data.
    struct LoadingState {
        std::string name = "ZqModelGeneralSettings";
        int index = 0;
        std::unordered_set<std::string> loaded;
        int phase = 0; // 0 attributes files, 1 connections files, 2 done
        bool firstStep = true;
        int progress = 0; // 0..100
    };

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
    // A copy of the list of models of exactly that class.
    ModelList modelsOfType(std::size_t typeId) const;
    const std::map<std::size_t, ModelList>& modelsByType() const { return m_modelsByType; }

    void notifyModelChanged(const ZqModel* model);
    void notifyAttributeChanged(const ZqBaseAttribute* attribute, int kind);
    // Re-files a model under its new id when oldId holds this very model.
    void changeModelId(ZqModel* model, unsigned oldId);

    // Drops every model, clears the error text, the changed flag and the id counter,
    // restarts the loading state and drains the engine's autorelease pools.
    void reset();

    bool isChanged() const { return m_changed; }
    const std::string& errorText() const { return m_errorText; }
    bool isArchiveMode() const { return m_archiveMode; }
    void setArchiveMode(bool archive) { m_archiveMode = archive; }
    std::string dataDirectory() const { return m_dataDirectory; }
    int loadingProgress() const { return m_loadingState.progress; }

protected:
    virtual void modelAdded(const std::shared_ptr<ZqModel>& model);
    virtual void modelRemoved(const std::shared_ptr<ZqModel>& model);
    virtual void modelChanged(const ZqModel* model);
    virtual void attributeChanged(const ZqBaseAttribute* attribute, int kind);

private:
    bool isRegistered(const ZqModel* model) const;

    std::map<std::size_t, ModelList> m_modelsByType;
    std::unordered_map<unsigned, std::shared_ptr<ZqModel>> m_modelsById;
    std::string m_errorText;
    bool m_changed = false;
    unsigned m_idCounter = 0;
    bool m_archiveMode = false;
    LoadingState m_loadingState;
    std::string m_dataDirectory = "data";
};
