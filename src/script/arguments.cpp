#include "script/arguments.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "base/messages.h"
#include "base/sjis_string.h"
#include "script/error_report.h"
#include "script/script_context.h"
#include "script/variables.h"

namespace adv {

namespace {

// Growth a single expansion may add beyond its input: a variable that doubles itself on every
// line must not take the process's memory with it.
constexpr std::size_t kExpansionLimit = 1 << 20;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

unsigned HexPair(std::string_view word, std::size_t pos) {
  unsigned value = 0;
  for (std::size_t i = pos; i < pos + 2 && i < word.size(); ++i) {
    int v = HexValue(word[i]);
    if (v < 0) break;
    value = value * 16 + static_cast<unsigned>(v);
  }
  return value;
}

std::string PaddedNumber(std::int32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  std::size_t count = digits.size() - (value < 0 ? 1 : 0);
  if (count >= width) return digits;
  // The zeros come first, also before a minus sign.
  return std::string(width - count, '0') + digits;
}

// At most `room` bytes of a string's value are copied: a long value named many times on one line
// is cut by the expansion's limit anyway.
std::string Replacement(ScriptContext& script, const std::string& name, std::size_t room) {
  std::size_t caret = SjisFind(name, '^');
  if (caret != std::string::npos) {
    int value = WordToInt(script, std::string_view(name).substr(0, caret));
    return PaddedNumber(value, name.size() - caret - 1);
  }
  if (IsNumericLiteral(name)) return std::to_string(ParseNumericLiteral(name));
  if (auto i = LookupIntVariable(script, name)) return std::to_string(*i);
  if (auto s = script.system.String(name)) return *s;
  if (auto it = script.vars.strings.find(name); it != script.vars.strings.end()) {
    return it->second.substr(0, room);
  }
  return name;
}

}  // namespace

void ReadWordFrom(LineBuffer& line, std::string& word) {
  std::string_view rest = line.Rest();
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  word.clear();
  bool quoted = false;
  while (i < rest.size()) {
    char c = rest[i];
    if (c == '\t' || c == '\n' || c == '\0') break;
    if (c == ' ' && !quoted) break;
    if (IsSjisLeadByte(static_cast<unsigned char>(c))) {
      // Taken with its second byte whatever that is; a lead byte ending the line stays alone.
      word.append(rest.substr(i, 2));
      i += i + 1 < rest.size() ? 2 : 1;
      continue;
    }
    if (c == '"') {
      quoted = !quoted;
    } else {
      word.push_back(c);
    }
    ++i;
  }
  line.Consume(i);
}

void ReadWord(ScriptContext& script) {
  ReadWordFrom(script.line, script.arg);
}

std::string ReadStringArg(ScriptContext& script) {
  ReadWord(script);
  ExpandVariables(script, script.arg);
  return script.arg;
}

int ReadIntArg(ScriptContext& script) {
  std::string word = ReadStringArg(script);
  return WordToInt(script, word);
}

int ReadIntExpr(ScriptContext& script) {
  // 32-bit arithmetic wraps around. Division and remainder by 0 give 0, and INT_MIN / -1 wraps to
  // INT_MIN, so no script can stop the engine with arithmetic.
  std::uint32_t value = static_cast<std::uint32_t>(ReadIntArg(script));
  while (true) {
    std::string op = ReadStringArg(script);
    std::int32_t operand = ReadIntArg(script);
    if (op.empty()) break;
    std::int32_t v = static_cast<std::int32_t>(value);
    switch (op[0]) {
      case '+':
        value += static_cast<std::uint32_t>(operand);
        break;
      case '-':
        value -= static_cast<std::uint32_t>(operand);
        break;
      case '*':
        value *= static_cast<std::uint32_t>(operand);
        break;
      case '/':
        if (operand == 0)
          value = 0;
        else if (operand == -1)
          value = 0u - value;
        else
          value = static_cast<std::uint32_t>(v / operand);
        break;
      case '%':
        if (operand == 0 || operand == -1)
          value = 0;
        else
          value = static_cast<std::uint32_t>(v % operand);
        break;
      default:
        break;
    }
  }
  return static_cast<std::int32_t>(value);
}

bool IsNumericLiteral(std::string_view word) {
  std::size_t i = (!word.empty() && (word[0] == '+' || word[0] == '-')) ? 1 : 0;
  if (i >= word.size()) return false;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
  }
  return true;
}

std::int32_t ParseNumericLiteral(std::string_view word) {
  bool negative = !word.empty() && word[0] == '-';
  std::size_t i = (!word.empty() && (word[0] == '+' || word[0] == '-')) ? 1 : 0;
  long long value = 0;
  for (; i < word.size(); ++i) {
    value = value * 10 + (word[i] - '0');
    if (value > 1LL + INT_MAX) break;  // saturates below
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<std::int32_t>(value);
}

int WordToInt(ScriptContext& script, std::string_view word) {
  if (word.empty()) return 0;
  if (IsNumericLiteral(word)) return ParseNumericLiteral(word);
  if (auto value = LookupIntVariable(script, word)) return *value;
  ReportScriptError(script, kMsgNoVariable, word);
  return 0;
}

Colour ParseColour(std::string_view word) {
  if (word.empty() || word[0] != '#') return 0;
  return MakeColour(HexPair(word, 1), HexPair(word, 3), HexPair(word, 5));
}

void ExpandBracketReferences(std::string& s, const ReferenceReplacer& replace) {
  // One pass, linear in the line however deep the references nest: the text is rebuilt in `out`
  // (replacing in place would move the rest of the line at every "]"), each byte is part of at
  // most one name before that name is replaced, and the replacements of one line together make
  // at most `limit` bytes, so a name that stands for itself cannot be copied outward level by
  // level without end.
  const std::size_t limit = std::max(s.size(), kExpansionLimit);
  std::size_t produced = 0;
  std::string out;
  out.reserve(s.size());
  std::vector<std::size_t> opens;  // positions in out of "[" on character boundaries
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (IsSjisLeadByte(c)) {
      out.append(s, i, 2);
      ++i;
      continue;
    }
    if (c != ']' || opens.empty()) {
      if (c == '[') opens.push_back(out.size());
      out.push_back(static_cast<char>(c));
      continue;
    }
    const std::size_t open = opens.back();
    opens.pop_back();
    // The text may not outgrow the limit, nor the replacements their budget; with no room left
    // the reference goes without being looked up.
    const std::size_t kept = open + (s.size() - i - 1);
    const std::size_t room = std::min(kept < limit ? limit - kept : 0, limit - produced);
    std::string replacement;
    if (room > 0) replacement = replace(std::string_view(out).substr(open + 1), room);
    if (replacement.size() > room) replacement.resize(room);
    produced += replacement.size();
    out.resize(open);
    // The replacement is not searched for a "]" of its own, but a "[" in it can open a
    // reference that a later "]" completes.
    for (std::size_t j = 0; j < replacement.size();) {
      if (replacement[j] == '[') opens.push_back(open + j);
      j += IsSjisLeadByte(static_cast<unsigned char>(replacement[j])) ? 2 : 1;
    }
    out += replacement;
  }
  s = std::move(out);
}

void ExpandVariables(ScriptContext& script, std::string& s) {
  ExpandBracketReferences(s, [&script](std::string_view name, std::size_t room) {
    return Replacement(script, std::string(name), room);
  });
}

}  // namespace adv
