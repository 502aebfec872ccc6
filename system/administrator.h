// The administrator test's decision, apart from the token it reads, so that
// it can be shown any group list.
#pragma once

#include "system/win.h"

#include <cstddef>

// True when the groups list the built-in Administrators group (NT authority,
// built-in domain, administrators alias) in a form that grants its rights. An
// entry marked for deny only does not count: the account of a restricted
// token, or an administrator under Vista's user account control before
// elevation, may not write where administrators may.
bool GroupsGrantAdministrator(const SID_AND_ATTRIBUTES* groups, std::size_t count);
