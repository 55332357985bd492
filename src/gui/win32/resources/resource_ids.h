// SPDX-License-Identifier: MIT
#pragma once
// Resource numbers shared by pellwick.rc and the shell.
#define IDI_PELLWICK 1
