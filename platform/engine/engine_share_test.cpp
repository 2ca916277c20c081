// Contexts: sharing a store, separate positions and buffers, handles.
#include <gtest/gtest.h>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/le_api.h"

namespace vz::engine::testing {
namespace {

using EngineShareTest = EngineTest;

TEST_F(EngineShareTest, ASharingContextSeesWhatTheFirstWrote) {
  Record client2({3, 7, 2, 11, 21, 2}, "111412");
  // The runtime's context exists first; the program's context joins it and
  // then opens the analysis and substitutes the directory for both.
  int32_t runtime = LE_CreateContexteHF(0);
  int32_t program = LE_CreateContexteHF(103);
  Record client1({3, 7, 2, 11, 21, 2}, "111412");
  ASSERT_EQ(client1.Describe(program, "CLIENT", 905), 1);
  ASSERT_EQ(client2.Describe(runtime, "CLIENT", 905), 1);
  ASSERT_EQ(LE_Hinitpartage(program, runtime), 1);
  ASSERT_EQ(LE_Houvreanalyse(program, analysis_path_.c_str(), "", "", "", ""), 1);
  ASSERT_EQ(LE_Hsubstrep(program, "D:\\VESTRA", data_dir_.c_str()), 1);

  for (const char* code : {"010000011", "010000021", "010000031"}) {
    FillClient(client1, code, std::string("P") + code);
    ASSERT_EQ(LE_Hajoute(program, "CLIENT", 0), 1);
  }
  // The runtime's context reads into its own buffer, at its own position.
  ASSERT_EQ(LE_Hlitpremier(runtime, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client2), "010000011");
  EXPECT_EQ(ClientCode(client1), "010000031");  // the program's buffer untouched
  ASSERT_EQ(LE_Hlitrecherche(program, "CLIENT", "CODCLI", "010000031", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(runtime, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client2), "010000021");
  EXPECT_EQ(LE_Hlitsuivant(program, "CLIENT", "CODCLI", 0), 0);
  // Out-of-file states are per context.
  EXPECT_EQ(LE_Hendehors(program), 1);
  EXPECT_EQ(LE_Hendehors(runtime), 0);
  // A write by one context moves the other's cursor on correctly.
  FillClient(client1, "010000025", "inserted");
  ASSERT_EQ(LE_Hajoute(program, "CLIENT", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(runtime, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(client2.Text(5), "inserted");
  // Counts and record numbers per context.
  LE_Hinfogene(runtime, "CLIENT");
  LE_Hinfogene(program, "CLIENT");
  EXPECT_EQ(LE_Hnbenr(runtime), 4);
  EXPECT_EQ(LE_Hnumenr(runtime), 4);
  ASSERT_EQ(LE_Hlitpremier(program, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(LE_Hnumenr(program), 1);
  EXPECT_EQ(LE_Hnumenr(runtime), 4);
  // One context deletes the other's current record; the other reads on.
  ASSERT_EQ(LE_Hlitrecherche(program, "CLIENT", "CODCLI", "010000025", 0), 1);
  ASSERT_EQ(LE_Hsupprime(program, "CLIENT", 0), 1);
  EXPECT_EQ(LE_Hmodifie(runtime, "CLIENT", 0), 0);  // its record is gone
  ASSERT_EQ(LE_Hlitsuivant(runtime, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client2), "010000031");
  // Closing every file from one context closes them for both; both reopen.
  ASSERT_EQ(LE_Hferme(program, ""), 1);
  ASSERT_EQ(LE_Hlitpremier(runtime, "CLIENT", "CODCLI", 0), 1);
  ASSERT_EQ(LE_Hlitpremier(program, "CLIENT", "CODCLI", 0), 1);
  // The runtime's context ends; the program's keeps the store.
  EXPECT_EQ(LE_HftermineCTX(runtime), 1);
  EXPECT_EQ(LE_Hlitsuivant(program, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(LE_HftermineCTX(program), 1);
}

TEST_F(EngineShareTest, SharingNeedsTwoLiveContexts) {
  EXPECT_EQ(LE_Hinitpartage(ctx_, 0), 0);
  EXPECT_EQ(LE_Hinitpartage(ctx_, 987654), 0);
  EXPECT_EQ(LE_Hinitpartage(987654, ctx_), 0);
  EXPECT_EQ(LE_Hinitpartage(ctx_, ctx_), 1);  // itself: nothing changes
  int32_t gone = LE_CreateContexteHF(1);
  LE_HftermineCTX(gone);
  EXPECT_EQ(LE_Hinitpartage(ctx_, gone), 0);
  ASSERT_TRUE(AddClient("010000011", "still works"));
}

TEST_F(EngineShareTest, JoiningAnotherStoreLeavesTheOldOne) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  int32_t empty = LE_CreateContexteHF(1);  // no analysis in its store
  ASSERT_EQ(LE_Hinitpartage(ctx_, empty), 1);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
  ASSERT_EQ(LE_Houvreanalyse(ctx_, analysis_path_.c_str(), "", "", "", ""), 1);
  ASSERT_EQ(LE_Hsubstrep(ctx_, "D:\\VESTRA", data_dir_.c_str()), 1);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(client_.Text(5), "A");
  LE_HftermineCTX(empty);
}

TEST_F(EngineShareTest, SeparateStoresSeeEachOthersCommittedWrites) {
  Record client2({3, 7, 2, 11, 21, 2}, "111412");
  int32_t other = OpenSecondContext(false, &client2, nullptr);
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_EQ(LE_Hlitpremier(other, "CLIENT", "CODCLI", 0), 1);
  ASSERT_TRUE(AddClient("010000021", "B"));
  ASSERT_EQ(LE_Hlitrecherche(other, "CLIENT", "CODCLI", "010000021", 0), 1);
  client2.SetText(5, "B modified");
  ASSERT_EQ(LE_Hmodifie(other, "CLIENT", 0), 1);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000021", 0), 1);
  EXPECT_EQ(client_.Text(5), "B modified");
  LE_HftermineCTX(other);
}

}  // namespace
}  // namespace vz::engine::testing
