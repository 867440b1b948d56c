//===- ui_test_poster.cpp - A second process that posts to the GUI tests' windows ===//
//
// ui_test_poster: serves commands from standard input, one per line, each answered with lines
// and a line ".", until end of input.
//   post HWND MSG WPARAM LPARAM   posts the message, answers 1 or 0
//
#include "platform/user/Messages.h"

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

int main()
{
    std::string Line;
    while (std::getline(std::cin, Line)) {
        std::istringstream Words(Line);
        std::string Verb;
        Words >> Verb;
        if (Verb == "post") {
            unsigned long long Window = 0, Msg = 0;
            long long WParam = 0, LParam = 0;
            Words >> Window >> Msg >> WParam >> LParam;
            const bool Posted = PostMessage(static_cast<HWND>(Window), static_cast<UINT>(Msg),
                                            static_cast<WPARAM>(WParam), static_cast<LPARAM>(LParam));
            std::cout << (Posted ? 1 : 0) << '\n';
        } else {
            std::cout << "unknown " << Verb << '\n';
        }
        std::cout << '.' << std::endl;
    }
    return 0;
}
