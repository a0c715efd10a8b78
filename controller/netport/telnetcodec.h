// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The telnet side of an RFC 2217 port, sans I/O: bytes from the server go in, and out come the
// serial line's data bytes and the replies owed to the server; data for the line goes in and
// comes out escaped. It negotiates BINARY both ways (an 8-bit clean stream) and the COM-PORT
// option, through which it sets the line to 4800 baud, 8 data bits, no parity, one stop bit
// and no flow control. 0xFF travels as FF FF both ways. Every other option is refused; the
// server's commands and subnegotiations (line and modem state notices among them) never reach
// the data. A command may be split across any number of reads. The server's answers to the
// settings are only noted: a server that leaves one unanswered still carries the data.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace x10 {

class TelnetCodec {
public:
  using Bytes = std::vector<std::uint8_t>;

  static constexpr std::uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250,
                                SE = 240;
  static constexpr std::uint8_t BINARY = 0, SUPPRESS_GO_AHEAD = 3, COM_PORT = 44;

  // What the client says first: WILL and DO BINARY, WILL COM-PORT.
  Bytes start();
  // Data for the serial line, 0xFF doubled.
  static Bytes encode(std::span<const std::uint8_t> data);
  // Bytes from the server.
  void receive(std::span<const std::uint8_t> bytes);

  Bytes takeData();
  Bytes takeReplies();
  // What the server did, in words: settings it confirmed, options it refused. For the log.
  std::vector<std::string> takeNotes();

private:
  enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac };
  struct Option {
    bool us = false;       // enabled on our side (we WILL)
    bool him = false;      // enabled on the server's side (it WILL)
    bool usAsked = false;  // we sent WILL and wait for its answer
    bool himAsked = false; // we sent DO and wait for its answer
  };

  void command(std::uint8_t verb, std::uint8_t option);
  void onDo(std::uint8_t option);
  void onWill(std::uint8_t option);
  void subnegotiation();
  void send(std::uint8_t verb, std::uint8_t option);
  void sendComPortSettings();
  Option &option(std::uint8_t code) { return options_[code]; }

  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  Bytes sub_;
  Bytes data_;
  Bytes replies_;
  std::vector<std::string> notes_;
  Option options_[256];
};

} // namespace x10
