#pragma once

namespace pictures {

// Registers the ":/pictures/" resources. Calling it (or merely linking a
// caller) makes them available; calling it more than once is harmless.
void initResources();

} // namespace pictures
