// Counts the heap blocks of the test program that are still allocated, so
// that a test can tell whether an operation destroyed a subtree or kept it.
#pragma once

long LiveAllocations();
