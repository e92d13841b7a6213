#include "model/ZqModelIdIndex.h"

#include <algorithm>

namespace {

// A new id may stretch the vector to twice its size plus this; one further out is sparse.
constexpr std::size_t kGrowthSlack = 1024;

} // namespace

ZqModel* ZqModelIdIndex::sparseGet(unsigned id) const
{
    auto it = m_sparse.find(id);
    return it == m_sparse.end() ? nullptr : it->second.get();
}

const std::shared_ptr<ZqModel>* ZqModelIdIndex::find(unsigned id) const
{
    if (id < m_dense.size())
        return m_dense[id] ? &m_dense[id] : nullptr;
    auto it = m_sparse.find(id);
    return it == m_sparse.end() ? nullptr : &it->second;
}

bool ZqModelIdIndex::insert(unsigned id, std::shared_ptr<ZqModel> model)
{
    if (!model || contains(id))
        return false;
    if (id >= m_dense.size() && id < kMaxDense && id < 2 * m_dense.size() + kGrowthSlack)
        growTo(std::min(kMaxDense, std::max<std::size_t>(std::size_t(id) + 1, 2 * m_dense.size())));
    if (id < m_dense.size())
        m_dense[id] = std::move(model);
    else
        m_sparse.emplace(id, std::move(model));
    ++m_count;
    return true;
}

std::shared_ptr<ZqModel> ZqModelIdIndex::take(unsigned id)
{
    std::shared_ptr<ZqModel> model;
    if (id < m_dense.size()) {
        model = std::move(m_dense[id]);
    } else if (auto it = m_sparse.find(id); it != m_sparse.end()) {
        model = std::move(it->second);
        m_sparse.erase(it);
    }
    if (model)
        --m_count;
    return model;
}

void ZqModelIdIndex::reserve(unsigned lastId)
{
    if (lastId < kMaxDense && lastId >= m_dense.size())
        growTo(std::size_t(lastId) + 1);
}

void ZqModelIdIndex::growTo(std::size_t size)
{
    m_dense.resize(size);
    // Ids the vector now covers move in from the hash map.
    for (auto it = m_sparse.begin(); it != m_sparse.end();) {
        if (it->first < size) {
            m_dense[it->first] = std::move(it->second);
            it = m_sparse.erase(it);
        } else {
            ++it;
        }
    }
}

unsigned ZqModelIdIndex::highestId() const
{
    unsigned highest = 0;
    for (const auto& entry : m_sparse)
        highest = std::max(highest, entry.first);
    if (highest != 0)
        return highest;
    for (std::size_t id = m_dense.size(); id-- > 0;) {
        if (m_dense[id])
            return static_cast<unsigned>(id);
    }
    return 0;
}

void ZqModelIdIndex::swap(ZqModelIdIndex& other) noexcept
{
    m_dense.swap(other.m_dense);
    m_sparse.swap(other.m_sparse);
    std::swap(m_count, other.m_count);
}
