#include "platform/rtl/streamadapter.h"

#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

namespace {

TEST(StreamAdapterTest, ReadsWritesAndSeeksTheStreamItRefersTo) {
  TMemoryStream Stream;
  {
    TStreamAdapter Adapter(&Stream);
    Cardinal Count = 0;
    EXPECT_EQ(Adapter.Write("abcdef", 6, &Count), S_OK);
    EXPECT_EQ(Count, 6u);
    UInt64 Position = 99;
    EXPECT_EQ(Adapter.Seek(-4, STREAM_SEEK_END, &Position), S_OK);
    EXPECT_EQ(Position, 2u);
    char Buffer[8] = {};
    EXPECT_EQ(Adapter.Read(Buffer, 8, &Count), S_FALSE);  // fewer bytes than asked for
    EXPECT_EQ(Count, 4u);
    EXPECT_STREQ(Buffer, "cdef");
    EXPECT_EQ(Adapter.Seek(1, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(Adapter.Read(Buffer, 2, nullptr), S_OK);
    EXPECT_EQ(Adapter.Seek(0, 7, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(Adapter.Read(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
  }
  EXPECT_EQ(Stream.Size(), 6);  // the adapter did not own the stream
}

}  // namespace
