// Reading a command line's words, integers, expressions and colours, and the bracket
// substitution applied to arguments and text lines.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/pixel.h"

namespace adv {

class LineBuffer;
struct ScriptContext;

// Takes the next word from the front of line into word: blanks and TABs skipped first; stops at
// TAB, LF, NUL or (outside quotes) a blank; double quotes open and close quotation and are
// dropped; a two-byte character is taken whole. The stop stays in the line.
void ReadWordFrom(LineBuffer& line, std::string& word);
// ReadWordFrom on the current line into the argument buffer.
void ReadWord(ScriptContext& script);
// The next word with variable references expanded; "" when the line is exhausted.
std::string ReadStringArg(ScriptContext& script);
int ReadIntArg(ScriptContext& script);
// A left-to-right expression of words: value (op value)*, ops + - * / %.
int ReadIntExpr(ScriptContext& script);

// Optional "+" or "-", then decimal digits, nothing else.
bool IsNumericLiteral(std::string_view word);
// Decimal conversion of a literal, saturating at the ends of the 32-bit range, so that a huge
// number in a script is the largest value, not a wrapped one.
std::int32_t ParseNumericLiteral(std::string_view word);
// "" gives 0; a literal its value; else an integer variable; else the error box and 0.
int WordToInt(ScriptContext& script, std::string_view word);

// "#RRGGBB" (each pair read as far as it is hexadecimal) to a colour; other words give black.
Colour ParseColour(std::string_view word);

// Gives the text for the name of a reference; room is as much of it as will be kept.
using ReferenceReplacer = std::function<std::string(std::string_view name, std::size_t room)>;
// Replaces "[name]" references in place by replace(name), the engine's way: each "]" closes the
// last "[" before it, innermost first, and a "[" in a replacement can be closed by a later "]".
// Time is linear in the line's length. The text grows to at most 1 MiB (or its own length), and
// the replacements of one line together make no more than that: past it, references are dropped.
void ExpandBracketReferences(std::string& s, const ReferenceReplacer& replace);
// Replaces "[name]" references by variable values; "name^000" pads with zeros.
void ExpandVariables(ScriptContext& script, std::string& s);

}  // namespace adv
