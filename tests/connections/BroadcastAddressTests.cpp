#include <gtest/gtest.h>

#include "connections/BroadcastAddress.h"

using namespace kv;

namespace {
InterfaceAddress Up(uint32_t address, int prefix)
{
    InterfaceAddress i;
    i.address = address;
    i.netmask = prefix == 0 ? 0 : ~uint32_t(0) << (32 - prefix);
    i.up = true;
    return i;
}
} // namespace

TEST(DefaultBroadcastAddress, PrivateNetworksArePreferredInTheirOrder)
{
    EXPECT_EQ(ChooseBroadcastAddress({Up(0x0A010203, 8), Up(0xC0A80005, 24)}), u"192.168.0.255");
    EXPECT_EQ(ChooseBroadcastAddress({Up(0x08080808, 24), Up(0xA9FE0102, 16)}), u"169.254.255.255");
    EXPECT_EQ(ChooseBroadcastAddress({Up(0x0A000001, 8), Up(0xAC1F0001, 12)}), u"172.31.255.255");
    // The first of the best rank wins.
    EXPECT_EQ(ChooseBroadcastAddress({Up(0xC0A80101, 24), Up(0xC0A80201, 24)}), u"192.168.1.255");
    EXPECT_EQ(ChooseBroadcastAddress({Up(0x5DB8D822, 20)}), u"93.184.223.255");
}

TEST(DefaultBroadcastAddress, InterfacesThatCannotBroadcastAreSkipped)
{
    EXPECT_EQ(ChooseBroadcastAddress({}), u"127.255.255.255");
    EXPECT_EQ(ChooseBroadcastAddress({Up(0xC0A80005, 32)}), u"127.255.255.255");
    EXPECT_EQ(ChooseBroadcastAddress({Up(0xC0A80005, 31), Up(0, 24)}), u"127.255.255.255");
    InterfaceAddress down = Up(0xC0A80005, 24);
    down.up = false;
    InterfaceAddress loopback = Up(0x7F000001, 8);
    loopback.loopback = true;
    EXPECT_EQ(ChooseBroadcastAddress({down, loopback}), u"127.255.255.255");
    EXPECT_EQ(ChooseBroadcastAddress({down, loopback, Up(0x0A0B0C0D, 30)}), u"10.11.12.15");
}
