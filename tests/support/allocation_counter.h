// Counts every C++ allocation of the test program that links it: the
// replaceable global operator new is replaced by one that counts, then takes
// the memory from malloc (std::bad_alloc when there is none). For tests that
// check that a loop allocates nothing: read the count before and after.
// Link it as an object library so that the replacement is always taken.
#ifndef VZ_TESTS_SUPPORT_ALLOCATION_COUNTER_H_
#define VZ_TESTS_SUPPORT_ALLOCATION_COUNTER_H_

namespace vz::testing {

// Allocations so far in the whole process (any thread).
long AllocationCount();

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_ALLOCATION_COUNTER_H_
