#pragma once
// How an error's text is told: with "." appended when its last character sorts after "." in byte
// order. "Nemohu otevřít port COM1" gets its full stop; "Chybné číslo portu (COM1)" does not. In a
// text of several lines the rule applies to the first, the headline; the lines below are sentences.
#include <string>

std::string withFullStop(std::string text);
