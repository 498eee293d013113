// The launcher's own copy of the few product values it needs. It shares no
// code with the saver, so these are kept in step with app/product.h by hand.
#pragma once

namespace launcher {

inline constexpr char kProductName[] = "Chronovale";
// The maker's web domain; the home page is "http://www." followed by it.
inline constexpr char kWebDomain[] = "quillmere.example";

}  // namespace launcher
