// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/netport/telnetcodec.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace x10 {

namespace {

// COM-PORT commands, client to server; the server answers each with the code plus 100.
constexpr std::uint8_t kSetBaudRate = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4,
                       kSetControl = 5;
constexpr std::uint8_t kServerOffset = 100;
constexpr std::size_t kLongestSubnegotiation = 64; // longer ones are cut: only notes read them

// The word for a coded value, or the code itself when it has none.
std::string named(std::uint32_t value,
                  std::initializer_list<std::pair<std::uint32_t, const char *>> names) {
  for (const auto &[code, name] : names)
    if (code == value)
      return name;
  return "code " + std::to_string(value);
}

// What the server's answer to a COM-PORT setting says, in words ("parity none"); empty for
// the answers that set nothing (line and modem state notices).
std::string settingText(std::uint8_t command, std::uint32_t value) {
  switch (command) {
  case kSetBaudRate:
    return "baud rate " + std::to_string(value);
  case kSetDataSize:
    return "data bits " + std::to_string(value);
  case kSetParity:
    return "parity " +
           named(value, {{1, "none"}, {2, "odd"}, {3, "even"}, {4, "mark"}, {5, "space"}});
  case kSetStopSize:
    return "stop bits " + named(value, {{1, "1"}, {2, "2"}, {3, "1.5"}});
  case kSetControl:
    return named(value, {{1, "no flow control"},
                         {2, "XON/XOFF flow control"},
                         {3, "hardware flow control"},
                         {5, "break on"},
                         {6, "break off"},
                         {8, "DTR on"},
                         {9, "DTR off"},
                         {11, "RTS on"},
                         {12, "RTS off"}});
  default:
    return "";
  }
}

} // namespace

TelnetCodec::Bytes TelnetCodec::start() {
  option(BINARY).usAsked = true;
  send(WILL, BINARY);
  option(BINARY).himAsked = true;
  send(DO, BINARY);
  option(COM_PORT).usAsked = true;
  send(WILL, COM_PORT);
  return takeReplies();
}

TelnetCodec::Bytes TelnetCodec::encode(std::span<const std::uint8_t> data) {
  Bytes out;
  out.reserve(data.size());
  for (const std::uint8_t b : data) {
    out.push_back(b);
    if (b == IAC)
      out.push_back(IAC);
  }
  return out;
}

void TelnetCodec::receive(std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t b : bytes) {
    switch (state_) {
    case State::Data:
      if (b == IAC)
        state_ = State::Command;
      else
        data_.push_back(b);
      break;
    case State::Command:
      if (b == IAC) {
        data_.push_back(IAC);
        state_ = State::Data;
      } else if (b >= WILL) {
        verb_ = b;
        state_ = State::Option;
      } else if (b == SB) {
        sub_.clear();
        state_ = State::Subnegotiation;
      } else {
        state_ = State::Data; // NOP, GA and the like: nothing to do
      }
      break;
    case State::Option:
      command(verb_, b);
      state_ = State::Data;
      break;
    case State::Subnegotiation:
      if (b == IAC)
        state_ = State::SubnegotiationIac;
      else if (sub_.size() < kLongestSubnegotiation)
        sub_.push_back(b);
      break;
    case State::SubnegotiationIac:
      if (b == IAC) {
        if (sub_.size() < kLongestSubnegotiation)
          sub_.push_back(IAC);
        state_ = State::Subnegotiation;
      } else {
        // SE ends it; any other command ends it too, malformed, and is not data either.
        if (b == SE)
          subnegotiation();
        state_ = State::Data;
      }
      break;
    }
  }
}

void TelnetCodec::command(std::uint8_t verb, std::uint8_t code) {
  Option &o = option(code);
  switch (verb) {
  case DO:
    onDo(code);
    break;
  case DONT:
    if (o.usAsked && code == COM_PORT)
      notes_.push_back("the server refused the COM-PORT option: the line keeps its settings");
    o.usAsked = false;
    if (std::exchange(o.us, false))
      send(WONT, code);
    break;
  case WILL:
    onWill(code);
    break;
  case WONT:
    o.himAsked = false;
    if (std::exchange(o.him, false))
      send(DONT, code);
    break;
  }
}

void TelnetCodec::onDo(std::uint8_t code) {
  Option &o = option(code);
  if (code != BINARY && code != COM_PORT) {
    send(WONT, code);
    return;
  }
  if (o.us)
    return;
  o.us = true;
  if (!std::exchange(o.usAsked, false))
    send(WILL, code);
  if (code == COM_PORT)
    sendComPortSettings();
}

void TelnetCodec::onWill(std::uint8_t code) {
  Option &o = option(code);
  if (code != BINARY && code != SUPPRESS_GO_AHEAD) {
    send(DONT, code); // an echo above all would send our bytes back as the line's
    return;
  }
  if (o.him)
    return;
  o.him = true;
  if (!std::exchange(o.himAsked, false))
    send(DO, code);
}

void TelnetCodec::subnegotiation() {
  if (sub_.size() < 2 || sub_[0] != COM_PORT || sub_[1] <= kServerOffset)
    return;
  std::uint32_t value = 0;
  for (std::size_t i = 2; i < sub_.size(); ++i)
    value = value << 8 | sub_[i];
  const std::string setting =
      settingText(static_cast<std::uint8_t>(sub_[1] - kServerOffset), value);
  if (setting.empty())
    return; // line and modem state notices and the rest: not data, nothing to note
  notes_.push_back("the server set " + setting);
}

void TelnetCodec::send(std::uint8_t verb, std::uint8_t code) {
  replies_.insert(replies_.end(), {IAC, verb, code});
}

// 4800 baud (four bytes, network order), 8 data bits, no parity (1), one stop bit (1), no flow
// control (1).
void TelnetCodec::sendComPortSettings() {
  const auto set = [this](std::uint8_t command, const Bytes &value) {
    replies_.insert(replies_.end(), {IAC, SB, COM_PORT, command});
    const Bytes escaped = encode(value);
    replies_.insert(replies_.end(), escaped.begin(), escaped.end());
    replies_.insert(replies_.end(), {IAC, SE});
  };
  set(kSetBaudRate, {0x00, 0x00, 0x12, 0xC0});
  set(kSetDataSize, {8});
  set(kSetParity, {1});
  set(kSetStopSize, {1});
  set(kSetControl, {1});
}

TelnetCodec::Bytes TelnetCodec::takeData() { return std::exchange(data_, {}); }
TelnetCodec::Bytes TelnetCodec::takeReplies() { return std::exchange(replies_, {}); }
std::vector<std::string> TelnetCodec::takeNotes() { return std::exchange(notes_, {}); }

} // namespace x10
