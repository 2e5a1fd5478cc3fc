#pragma once

#include <QByteArray>

namespace speech {

// A shared library opened on demand. The speech and sound libraries bring the
// sound system's libraries with them; opening them only when speech starts
// keeps them out of every program's start-up.
//
// A library once opened stays loaded until the process ends, whatever becomes
// of this object: its threads and destructors may still run during exit, and
// leak checkers can only name (and so suppress) what is still mapped.
class SharedLibrary final
{
public:
    explicit SharedLibrary(const char* soname);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const { return m_handle != nullptr; }

    // Resolves a function into target; false (and any earlier failure sticks)
    // when the library or the symbol is missing.
    template <typename Function> bool resolve(const char* symbol, Function& target)
    {
        target = reinterpret_cast<Function>(address(symbol));
        m_complete = m_complete && target != nullptr;
        return target != nullptr;
    }

    // True when the library loaded and every resolve() found its symbol.
    bool complete() const { return isLoaded() && m_complete; }

private:
    void* address(const char* symbol) const;

    void* m_handle = nullptr; // owned by the process, never closed
    bool m_complete = true;
};

} // namespace speech
