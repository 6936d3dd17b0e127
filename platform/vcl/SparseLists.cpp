#include "platform/vcl/SparseLists.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/rtl/RtlConsts.h"

namespace {

const char* const SPutObjectError = "PutObject to undefined item";

[[noreturn]] void IndexError(int Index) { throw EListError(RtlConsts::SListIndexError, {Index}); }

void* AllocZeroed(std::size_t Count) {
  void* P = std::calloc(Count, sizeof(void*));
  if (!P) throw EOutOfMemory("Out of memory");
  return P;
}

void WriteInt(TStream* Stream, std::int32_t V) { Stream->WriteBuffer(&V, sizeof V); }

std::int32_t ReadInt(TStream* Stream) {
  std::int32_t V = 0;
  Stream->ReadBuffer(&V, sizeof V);
  return V;
}

}  // namespace

// ----- TSparsePointerArray -----

TSparsePointerArray::TSparsePointerArray(TSPAQuantum Quantum) {
  if (Quantum == SPALarge) {
    FSectionSize = 256;
    FIndexMask = 255;
    FSecShift = 8;
  } else {
    FSectionSize = 16;
    FIndexMask = 15;
    FSecShift = 4;
  }
}

TSparsePointerArray::~TSparsePointerArray() {
  for (int I = 0; I < FSlotsInDir; ++I) std::free(FSecDir[I]);
  std::free(FSecDir);
}

int TSparsePointerArray::GetSectionCount() const {
  int N = 0;
  for (int I = 0; I < FSlotsInDir; ++I)
    if (FSecDir[I]) ++N;
  return N;
}

void* TSparsePointerArray::GetAt(int Index) const {
  if (Index == FCachedIndex) return FCachedPointer;
  const std::uint32_t Sec = static_cast<std::uint32_t>(Index) >> FSecShift;
  void* Item = nullptr;
  if (Sec < FSlotsInDir && FSecDir[Sec])
    Item = static_cast<void**>(FSecDir[Sec])[static_cast<std::uint32_t>(Index) & FIndexMask];
  FCachedIndex = Index;
  FCachedPointer = Item;
  return Item;
}

void** TSparsePointerArray::MakeAt(int Index) {
  const std::uint32_t Sec = static_cast<std::uint32_t>(Index) >> FSecShift;
  // A section number beyond the 16-bit directory would wrap onto a low section and overwrite
  // another index's item: refuse it.
  if (Index < 0 || Sec >= 65535u) IndexError(Index);
  if (Sec >= FSlotsInDir) {
    const std::size_t NewLen = Sec + 1;
    void* P = std::realloc(FSecDir, NewLen * sizeof(void*));
    if (!P) throw EOutOfMemory("Out of memory");
    FSecDir = static_cast<void**>(P);
    std::memset(FSecDir + FSlotsInDir, 0, (NewLen - FSlotsInDir) * sizeof(void*));
    FSlotsInDir = static_cast<Word>(NewLen);
  }
  if (!FSecDir[Sec]) FSecDir[Sec] = AllocZeroed(FSectionSize);
  if (Index > FHighBound) FHighBound = Index;
  FCachedIndex = -1;
  return &static_cast<void**>(FSecDir[Sec])[static_cast<std::uint32_t>(Index) & FIndexMask];
}

void TSparsePointerArray::PutAt(int Index, void* Item) {
  if (Item || GetAt(Index)) {
    *MakeAt(Index) = Item;
    if (!Item) ResetHighBound();
  }
}

void TSparsePointerArray::Rotate(int From, int To) {
  void* Item = GetAt(From);
  const int Step = From < To ? 1 : -1;
  bool Emptied = false;
  for (int I = From; I != To; I += Step) {
    void* Next = GetAt(I + Step);
    if (Next || GetAt(I)) {
      Emptied = Emptied || !Next;
      *MakeAt(I) = Next;
    }
  }
  if (Item || GetAt(To)) {
    Emptied = Emptied || !Item;
    *MakeAt(To) = Item;
  }
  FCachedIndex = -1;
  if (Emptied) ResetHighBound();
}

int TSparsePointerArray::ForAll(const TSPAApply& ApplyFunction) const {
  // The directory and sections are read afresh on every step: the function may store into
  // the array (existing slots) while it runs.
  for (int S = 0; S < FSlotsInDir; ++S) {
    for (int I = 0; I < FSectionSize; ++I) {
      void** Sec = static_cast<void**>(FSecDir[S]);
      if (!Sec) break;
      if (void* Item = Sec[I]) {
        const int R = ApplyFunction((S << FSecShift) + I, Item);
        if (R != 0) return R;
      }
    }
  }
  return 0;
}

void TSparsePointerArray::ResetHighBound() {
  int NewHigh = -1;
  const int Old = FHighBound;
  ForAll([&](int Index, void*) {
    if (Index > Old) return 1;
    NewHigh = Index;
    return 0;
  });
  FHighBound = NewHigh;
}

// ----- TSparseList -----

TSparseList::TSparseList(TSPAQuantum Quantum) : FList(new TSparsePointerArray(Quantum)), FQuantum(Quantum) {}

TSparseList::~TSparseList() { delete FList; }

void TSparseList::Error(int Index) const { IndexError(Index); }

void* TSparseList::Get(int Index) const {
  if (Index < 0) Error(Index);
  return FList->GetAt(Index);
}

void TSparseList::Put(int Index, void* Item) {
  if (Index < 0) Error(Index);
  FList->PutAt(Index, Item);
  FCount = FList->GetHighBound() + 1;
}

void TSparseList::Insert(int Index, void* Item) {
  if (Index < 0) Error(Index);
  // An item that would land or move past the addressable limit is refused before anything
  // moved.
  if (Index > FList->MaxIndex()) Error(Index);
  if (Index < FCount && FCount > FList->MaxIndex()) Error(FCount);
  for (int I = FCount; I > Index; --I) FList->PutAt(I, FList->GetAt(I - 1));
  FList->PutAt(Index, Item);
  if (Index > FCount) FCount = Index;
  ++FCount;
}

void TSparseList::Delete(int Index) {
  if (Index < 0 || Index >= FCount) return;
  for (int I = Index; I < FCount - 1; ++I) FList->PutAt(I, FList->GetAt(I + 1));
  FList->PutAt(FCount - 1, nullptr);
  --FCount;
}

void TSparseList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex >= 0 && NewIndex >= 0 && CurIndex < FCount && NewIndex < FCount) {
    // Inside the list a delete and an insert come to turning the items between the two
    // indices by one place: only those move, once each.
    FList->Rotate(CurIndex, NewIndex);
    return;
  }
  void* Item = Get(CurIndex);
  Delete(CurIndex);
  Insert(NewIndex, Item);
}

void TSparseList::Exchange(int Index1, int Index2) {
  void* T = Get(Index1);
  Put(Index1, Get(Index2));
  Put(Index2, T);
}

void TSparseList::Clear() {
  auto* Fresh = new TSparsePointerArray(FQuantum);
  delete FList;
  FList = Fresh;
  FCount = 0;
}

int TSparseList::ForAll(const TSPAApply& ApplyFunction) const { return FList->ForAll(ApplyFunction); }

// ----- TStringSparseList -----

TStringSparseList::TStringSparseList(TSPAQuantum Quantum) : FList(new TSparseList(Quantum)) {}

TStringSparseList::~TStringSparseList() {
  OnChange = nullptr;
  Clear();
  delete FList;
}

void TStringSparseList::Changed() {
  if (OnChange) OnChange(this);
}

void TStringSparseList::Error() const { throw EStringSparseListError(SPutObjectError); }

String TStringSparseList::Get(int Index) const {
  auto* P = static_cast<TStrItem*>(FList->Get(Index));
  return P ? P->FString : String();
}

TObject* TStringSparseList::GetObject(int Index) const {
  auto* P = static_cast<TStrItem*>(FList->Get(Index));
  return P ? P->FObject : nullptr;
}

void TStringSparseList::Put(int Index, const String& S) {
  auto* Old = static_cast<TStrItem*>(FList->Get(Index));
  TObject* Obj = Old ? Old->FObject : nullptr;
  if (S.empty() && !Obj) {
    FList->Put(Index, nullptr);
  } else {
    auto* Item = new TStrItem{Obj, S};
    try {
      FList->Put(Index, Item);
    } catch (...) {
      delete Item;
      throw;
    }
  }
  delete Old;
  Changed();
}

void TStringSparseList::PutObject(int Index, TObject* AObject) {
  if (auto* P = static_cast<TStrItem*>(FList->Get(Index))) {
    P->FObject = AObject;
  } else if (AObject) {
    auto* Item = new TStrItem{AObject, String()};
    try {
      FList->Put(Index, Item);
    } catch (...) {
      delete Item;
      throw;
    }
  }
  Changed();
}

void TStringSparseList::Insert(int Index, const String& S) {
  auto* Item = new TStrItem{nullptr, S};
  try {
    FList->Insert(Index, Item);
  } catch (...) {
    delete Item;
    throw;
  }
  Changed();
}

void TStringSparseList::Delete(int Index) {
  if (Index >= 0 && Index < FList->GetCount()) delete static_cast<TStrItem*>(FList->Get(Index));
  FList->Delete(Index);
  Changed();
}

void TStringSparseList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  TStringsUpdate Update(this);
  const String S = Get(CurIndex);
  TObject* Obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, S, Obj);
}

void TStringSparseList::Exchange(int Index1, int Index2) { FList->Exchange(Index1, Index2); }

void TStringSparseList::Clear() {
  FList->ForAll([](int, void* Item) {
    delete static_cast<TStrItem*>(Item);
    return 0;
  });
  FList->Clear();
  Changed();
}

void TStringSparseList::WriteData(TStream* Stream) const {
  int N = 0;
  FList->ForAll([&](int, void*) {
    ++N;
    return 0;
  });
  WriteInt(Stream, N);
  FList->ForAll([&](int Index, void* Item) {
    const String& S = static_cast<TStrItem*>(Item)->FString;
    WriteInt(Stream, Index);
    WriteInt(Stream, static_cast<std::int32_t>(S.size()));
    if (!S.empty()) Stream->WriteBuffer(S.data(), static_cast<Int64>(S.size()));
    return 0;
  });
}

void TStringSparseList::ReadData(TStream* Stream) {
  const int N = ReadInt(Stream);
  for (int I = 0; I < N; ++I) {
    const int Index = ReadInt(Stream);
    const std::int32_t Len = ReadInt(Stream);
    if (Len < 0 || Len > Stream->GetSize() - Stream->GetPosition()) throw EReadError("Stream read error");
    String S(static_cast<std::size_t>(Len), '\0');
    if (Len > 0) Stream->ReadBuffer(S.data(), Len);
    InsertObject(Index, S, nullptr);
  }
}
