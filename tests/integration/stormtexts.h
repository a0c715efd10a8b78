// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What the core decodes from the simulator's numbered storm ("storm N"), written from the
// rule the simulator documents, not from its code: command i addresses unit i mod 16 + 1 of
// house i / 16 mod 16 and switches it On, or Off in every other round of 256; each comes out
// as the address, then the command ("A1", "A1 On").

#include <QStringList>

QStringList stormTexts(int count);
