#include "core/GridSortOrder.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/StrUtils.h"


namespace {

// Counts over places 0..n-1: add one at a place, count the places before a bound, and find
// the place holding the k-th counted item.
class TPlaceCounts {
public:
  explicit TPlaceCounts(int N) : FTree(static_cast<size_t>(N) + 1, 0)
  {
    while ((FTop << 1) <= N) FTop <<= 1;
  }
  void Add(int Place, int Amount)
  {
    for (size_t I = static_cast<size_t>(Place) + 1; I < FTree.size(); I += I & (~I + 1)) FTree[I] += Amount;
  }
  // Items at places < Bound.
  int Before(int Bound) const
  {
    int N = 0;
    for (size_t I = static_cast<size_t>(Bound); I > 0; I -= I & (~I + 1)) N += FTree[I];
    return N;
  }
  // The place of the item of rank K (0-based) in place order.
  int Find(int K) const
  {
    size_t Pos = 0;
    for (size_t Step = static_cast<size_t>(FTop); Step > 0; Step >>= 1)
      if (Pos + Step < FTree.size() && FTree[Pos + Step] <= K) {
        Pos += Step;
        K -= FTree[Pos];
      }
    return static_cast<int>(Pos);
  }

private:
  std::vector<int> FTree;
  int FTop = 1;
};

// Group is the rows of one key in table order; Turns[i] the smaller rows met after Group[i]
// and before the next group row (after the last: to the end). Answers the queue's final
// order. Worked backwards: the last row joined at the back of a queue of the final size, so
// undoing the turns after it finds its final place, and so on down.
std::vector<int> QueueOrder(const std::vector<int>& Group, const std::vector<int>& Turns)
{
  const int M = static_cast<int>(Group.size());
  std::vector<int> Final(Group.size());
  TPlaceCounts Alive(M);
  for (int S = 0; S < M; ++S) Alive.Add(S, 1);
  int Head = 0;  // rank among the free places of the queue's front
  for (int K = M; K >= 1; --K) {
    Head = (Head - Turns[static_cast<size_t>(K - 1)] % K + K) % K;
    const int Rank = (Head + K - 1) % K;
    const int Place = Alive.Find(Rank);
    Final[static_cast<size_t>(Place)] = Group[static_cast<size_t>(K - 1)];
    Alive.Add(Place, -1);
    if (Head > 0) --Head;
  }
  return Final;
}

}  // namespace

std::vector<int> GridSortOrder(const std::vector<String>& Keys)
{
  const int N = static_cast<int>(Keys.size());
  std::vector<int> Order(Keys.size());
  std::iota(Order.begin(), Order.end(), 0);
  std::stable_sort(Order.begin(), Order.end(),
                   [&](int A, int B) { return AnsiCompareText(Keys[static_cast<size_t>(A)], Keys[static_cast<size_t>(B)]) < 0; });
  TPlaceCounts Smaller(N);  // the rows of the groups already placed
  int Placed = 0;
  for (int First = 0; First < N;) {
    int End = First + 1;
    while (End < N && AnsiCompareText(Keys[static_cast<size_t>(Order[static_cast<size_t>(First)])],
                                      Keys[static_cast<size_t>(Order[static_cast<size_t>(End)])]) == 0)
      ++End;
    if (End - First > 1) {
      const std::vector<int> Group(Order.begin() + First, Order.begin() + End);  // in table order
      std::vector<int> Turns(Group.size());
      for (size_t I = 0; I < Group.size(); ++I) {
        const int From = Smaller.Before(Group[I] + 1);
        const int To = I + 1 < Group.size() ? Smaller.Before(Group[I + 1]) : Placed;
        Turns[I] = To - From;
      }
      const std::vector<int> Final = QueueOrder(Group, Turns);
      std::copy(Final.begin(), Final.end(), Order.begin() + First);
      for (int Row : Group) Smaller.Add(Row, 1);
    } else {
      Smaller.Add(Order[static_cast<size_t>(First)], 1);
    }
    Placed += End - First;
    First = End;
  }
  return Order;
}

