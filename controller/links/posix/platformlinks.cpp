// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/platformlinks.h"

#include "controller/links/posix/seriallink.h"

std::unique_ptr<Link> makeSerialLink() { return std::make_unique<SerialLink>(); }
