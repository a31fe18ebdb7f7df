#pragma once
// Runs a test with the C library's number locale set to one with a decimal comma, as a German
// or French desktop sets it, and restores it afterwards.

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

class DecimalCommaLocale {
public:
    // True when a locale with a decimal comma is now in force.
    bool set()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "pt_PT.UTF-8",
                                 "pt_BR.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0)
                return true;
        }
        std::setlocale(LC_NUMERIC, before_.c_str());
        return false;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_NUMERIC, before_.c_str()); }

private:
    std::string before_ = std::setlocale(LC_NUMERIC, nullptr);
};
