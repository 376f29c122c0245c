#pragma once

#include <clocale>
#include <initializer_list>

// The calling thread's character set while this lives: the first of `nombres` the system knows
// (each system names its UTF-8 locale differently); where it knows none, the thread keeps its own.
// Only this thread changes: the process's locale, and every other thread, stay as they were.
class LocaleDelHilo {
public:
    explicit LocaleDelHilo(std::initializer_list<const char*> nombres);
    ~LocaleDelHilo();
    LocaleDelHilo(const LocaleDelHilo&) = delete;
    LocaleDelHilo& operator=(const LocaleDelHilo&) = delete;

    bool vale() const { return propio_ != locale_t(nullptr); }

private:
    locale_t propio_ = locale_t(nullptr);
    locale_t anterior_ = locale_t(nullptr);
};

// The names of a UTF-8 locale, on Linux and on Apple systems.
inline constexpr std::initializer_list<const char*> localesUtf8 = {"C.UTF-8", "UTF-8",
                                                                   "en_US.UTF-8"};
