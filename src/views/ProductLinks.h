#pragma once

// Where the About page points. The web sites are not published yet: the addresses lie in a
// reserved domain and the page says that they are placeholders.
namespace ProductLinks {
inline constexpr const char* productWebsite = "https://lumatick.example/";
inline constexpr const char* makerWebsite = "https://brightlet.example/";
inline constexpr const char* contactAddress = "hello@brightlet.example";
inline constexpr const char* placeholderNote = "Web site and contact addresses are placeholders for now.";
} // namespace ProductLinks
