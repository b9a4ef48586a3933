#pragma once

// The interface language, chosen once at start-up from the system's default
// locale (as a Windows locale identifier): Chinese for 2052 (Chinese, PRC),
// English for 1033 (English, United States) and, without a start-up message,
// for every other locale.
enum class Language { Unset, Chinese, English };

inline constexpr int kLcidEnglishUs = 1033;
inline constexpr int kLcidChinesePrc = 2052;

inline Language languageForLcid(int lcid) {
    if (lcid == kLcidChinesePrc) {
        return Language::Chinese;
    }
    return lcid == kLcidEnglishUs ? Language::English : Language::Unset;
}

// The system's default locale: GetSystemDefaultLCID on Windows; elsewhere the
// system locale, where Chinese (China, simplified) counts as 2052, English
// (United States) as 1033 and anything else as 0.
int systemDefaultLcid();
