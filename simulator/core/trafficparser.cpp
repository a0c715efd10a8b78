// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/trafficparser.h"

#include "simulator/core/words.h"

#include <optional>

namespace x10::sim {
namespace {

struct Address {
  std::uint8_t house;
  std::uint8_t unit;
};

std::optional<std::uint8_t> houseOf(std::string_view word) {
  if (word.size() != 1)
    return std::nullopt;
  const auto house = HouseCode::fromLetter(word[0]);
  return house ? std::optional(house->nibble()) : std::nullopt;
}

std::optional<Address> addressOf(std::string_view word) {
  if (word.size() < 2)
    return std::nullopt;
  const auto house = HouseCode::fromLetter(word[0]);
  const auto number = words::integer(word.substr(1));
  const auto unit = number ? UnitCode::fromNumber(*number) : std::nullopt;
  if (!house || !unit)
    return std::nullopt;
  return Address{house->nibble(), unit->nibble()};
}

struct FunctionMatch {
  Function function;
  std::size_t words;
};

// Longest function name that starts at words[i], as functionName() spells it, any case;
// "Extended" alone stands for Extended Code.
std::optional<FunctionMatch> matchFunction(std::span<const std::string> list, std::size_t i) {
  std::optional<FunctionMatch> best;
  for (int code = 0; code < 16; ++code) {
    const auto function = static_cast<Function>(code);
    const auto name = words::split(functionName(function));
    if (i + name.size() > list.size() || (best && best->words >= name.size()))
      continue;
    bool same = true;
    for (std::size_t k = 0; k < name.size() && same; ++k)
      same = words::equalNoCase(name[k], list[i + k]);
    if (same)
      best = FunctionMatch{function, name.size()};
  }
  if (!best && words::equalNoCase(list[i], "extended"))
    best = FunctionMatch{Function::ExtendedCode, 1};
  return best;
}

std::optional<std::uint8_t> dimSteps(std::string_view word) {
  if (word.size() < 2 || word.back() != '%')
    return std::nullopt;
  const auto percent = words::integer(word.substr(0, word.size() - 1));
  if (!percent || *percent < 0 || *percent > 100)
    return std::nullopt;
  return static_cast<std::uint8_t>((*percent * Frame::kFullDimSteps + 50) / 100);
}

class TrafficParser {
public:
  explicit TrafficParser(std::span<const std::string> list) : words_(list) {}

  Result<std::vector<Frame>, std::string> run() {
    while (i_ < words_.size()) {
      if (const auto address = addressOf(words_[i_])) {
        frames_.push_back(Frame::makeAddress(address->house, address->unit));
        house_ = address->house;
        ++i_;
      } else if (auto done = function(); !done) {
        return Unexpected(std::move(done).error());
      }
    }
    return frames_;
  }

private:
  // One function, with its house letter if written, and what follows it.
  Result<void, std::string> function() {
    const std::string &first = words_[i_];
    const auto explicitHouse = houseOf(first);
    if (explicitHouse && ++i_ == words_.size())
      return Unexpected("expected a function after house " + first + ", like '" + first + " On'");
    const auto match = matchFunction(words_, i_);
    if (!match) {
      if (explicitHouse)
        return Unexpected(
            "'" + words_[i_] +
            "' is not a function: expected On, Off, Dim 45%, Bright 20%, All Units Off...");
      return Unexpected("'" + first +
                        "' is not a command or traffic: expected an address like A1, a house and "
                        "a function like 'A On', or a command (try help)");
    }
    const std::string name(functionName(match->function));
    if (!explicitHouse && !house_)
      return Unexpected("'" + name + "' needs a house: write 'A " + name +
                        "' or put an address first, like 'A1 " + name + "'");
    const std::uint8_t house = explicitHouse ? *explicitHouse : *house_;
    i_ += match->words;
    house_ = house;
    if (match->function == Function::ExtendedCode)
      return extended(house, explicitHouse.has_value());
    if (match->function == Function::Dim || match->function == Function::Bright)
      return dim(house, match->function);
    frames_.push_back(Frame::makeFunction(house, match->function));
    return {};
  }

  Result<void, std::string> dim(std::uint8_t house, Function function) {
    const auto steps = i_ < words_.size() ? dimSteps(words_[i_]) : std::nullopt;
    if (!steps)
      return Unexpected(std::string(functionName(function)) +
                        " needs an amount from 0% to 100%, like 'A Dim 45%'");
    ++i_;
    frames_.push_back(Frame::makeFunction(house, function, *steps));
    return {};
  }

  // The unit comes from the address written just before, which the extended frame carries.
  Result<void, std::string> extended(std::uint8_t house, bool explicitHouse) {
    const bool unitBefore = !explicitHouse && !frames_.empty() &&
                            frames_.back().kind == Frame::Kind::Address &&
                            frames_.back().house == house;
    const auto data = i_ < words_.size() ? words::parseHexByte(words_[i_]) : std::nullopt;
    const auto command =
        i_ + 1 < words_.size() ? words::parseHexByte(words_[i_ + 1]) : std::nullopt;
    if (!unitBefore || !data || !command)
      return Unexpected("Extended needs a unit before it and two hex bytes, data and command, "
                        "after it: 'A5 Extended 1F 31'");
    const std::uint8_t unit = frames_.back().key;
    frames_.back() = Frame::makeExtended(house, unit, *data, *command);
    i_ += 2;
    return {};
  }

  std::span<const std::string> words_;
  std::size_t i_ = 0;
  std::vector<Frame> frames_;
  std::optional<std::uint8_t> house_;
};

} // namespace

Result<std::vector<Frame>, std::string> parseTraffic(std::span<const std::string> list) {
  if (list.empty())
    return Unexpected("expected traffic, like 'A1 On'");
  return TrafficParser(list).run();
}

} // namespace x10::sim
