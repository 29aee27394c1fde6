#pragma once
// Counts how deep the layer is inside something (handlers, its own changes
// of a window's size), however each level ends.

namespace forms {

class ScopedCount {
public:
    explicit ScopedCount(int& depth)
        : m_depth(depth) {
        ++m_depth;
    }
    ~ScopedCount() { --m_depth; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;

private:
    int& m_depth;
};

} // namespace forms
