#pragma once

// Makes this process non-dumpable: no core dump, and no other process of the user reading its
// memory, once it holds a password.
void ForbidCoreDumps();
