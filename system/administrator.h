// The administrator test's decision, apart from the token it reads, so that
// it can be shown any group list.
#pragma once

#include "system/win.h"

#include <cstddef>

// True when the groups list the built-in Administrators group (NT authority,
// built-in domain, administrators alias), whatever the entry's attributes:
// enabled or not, or kept for deny only. So an administrator under Vista's
// user account control, whose token lists the group for deny only until the
// program is elevated, counts as one.
bool GroupsListAdministrators(const SID_AND_ATTRIBUTES* groups, std::size_t count);
