#pragma once
// The string types of the table interface. CString holds UTF-8; lengths are counted in bytes
// and "a character" is one UTF-8 sequence. CStringList is an ordered list of such strings, so a
// host fills it with push_back and walks it with range-for.

#include <list>
#include <string>

using CString = std::string;
using CStringList = std::list<CString>;
