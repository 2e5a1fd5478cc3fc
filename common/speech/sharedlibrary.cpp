#include "common/speech/sharedlibrary.h"

#include <dlfcn.h>

namespace speech {

SharedLibrary::SharedLibrary(const char* soname) : m_handle(::dlopen(soname, RTLD_NOW | RTLD_LOCAL))
{}

void* SharedLibrary::address(const char* symbol) const
{
    return m_handle ? ::dlsym(m_handle, symbol) : nullptr;
}

} // namespace speech
