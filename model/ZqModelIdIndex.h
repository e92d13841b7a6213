#pragma once

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

class ZqModel;

// Models by id, at most one an id, held by shared pointer. A game's ids run from 1 to about
// its "Last ID": those live in a vector indexed by id, grown as ids come and made ready
// from "Last ID" by reserve. Ids far beyond the vector (sparse or huge ids of damaged or
// foreign data) go to a hash map, so that one large id never costs memory in proportion.
class ZqModelIdIndex {
public:
    // The vector never grows past this many ids (16 MiB of pointers).
    static constexpr std::size_t kMaxDense = std::size_t(1) << 20;

    ZqModelIdIndex() = default;
    ZqModelIdIndex(const ZqModelIdIndex&) = delete;
    ZqModelIdIndex& operator=(const ZqModelIdIndex&) = delete;

    // The model under id, else null.
    ZqModel* get(unsigned id) const
    {
        if (id < m_dense.size())
            return m_dense[id].get();
        return m_sparse.empty() ? nullptr : sparseGet(id);
    }
    const std::shared_ptr<ZqModel>* find(unsigned id) const;
    bool contains(unsigned id) const { return get(id) != nullptr; }
    // False (nothing stored) for a null model or an id that is taken.
    bool insert(unsigned id, std::shared_ptr<ZqModel> model);
    // The model under id, no longer held here; empty when absent.
    std::shared_ptr<ZqModel> take(unsigned id);
    // Room in the vector for ids up to lastId, when that is within kMaxDense.
    void reserve(unsigned lastId);
    std::size_t size() const { return m_count; }
    // The highest id held, 0 when empty: a walk from the top.
    unsigned highestId() const;
    // Ids held in the vector and in the hash map (tests and the benchmark look).
    std::size_t denseCapacity() const { return m_dense.size(); }
    std::size_t sparseCount() const { return m_sparse.size(); }
    void swap(ZqModelIdIndex& other) noexcept;

private:
    ZqModel* sparseGet(unsigned id) const;
    void growTo(std::size_t size);

    std::vector<std::shared_ptr<ZqModel>> m_dense;
    // Only ids at or beyond m_dense.size().
    std::unordered_map<unsigned, std::shared_ptr<ZqModel>> m_sparse;
    std::size_t m_count = 0;
};
