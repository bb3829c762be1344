// The one running copy of setup on the machine.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include "app/SingleInstance.h"

TEST(SingleInstance, AnotherAccountsCopyCountsThoughItGrantsLess) {
    // What the system account's copy leaves to an administrator: a mutex it may only wait on.
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100000;;;WD)", SDDL_REVISION_1,
                                                                       &attributes.lpSecurityDescriptor, nullptr));
    fw::UniqueHandle other(::CreateMutexW(&attributes, FALSE, kSingleInstanceMutexName));
    ::LocalFree(attributes.lpSecurityDescriptor);
    ASSERT_TRUE(other);
    fw::UniqueHandle mine;
    EXPECT_FALSE(ClaimSingleInstance(mine)) << "another copy runs";
    other.reset();
    EXPECT_TRUE(ClaimSingleInstance(mine)) << "none runs any more";
}
