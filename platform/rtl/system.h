// Basic types of the runtime: the names every ported unit uses for strings,
// characters and integers of fixed width.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

using String = QString;   // UTF-16, implicitly shared; null and empty are the same text
using Char = QChar;       // one UTF-16 unit

using ShortInt = std::int8_t;
using SmallInt = std::int16_t;
using Integer = std::int32_t;
using Int64 = std::int64_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using Extended = double;  // no 80-bit floats here; stored values never needed them
using Pointer = void*;

using TBytes = std::vector<Byte>;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;
using TDate = double;
using TTime = double;
