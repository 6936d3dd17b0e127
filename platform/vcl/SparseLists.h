// Sparse storage of the class library's grid unit, shared by the plain string grid and the
// skinned string grid: one cell store for every table of the program.
//
// TSparsePointerArray: a paged array of untyped pointers indexed from 0. Index i lives in
// section i >> shift at slot i & mask; a section (16 or 256 slots by the quantum) is allocated
// only when something is stored in it and lives until the array does. Reads never allocate;
// the last lookup is cached. Indexes above the addressable limit (65,535 sections) are
// refused with EListError "List index out of bounds (%d)" instead of wrapping around onto
// another index.
//
// TSparseList: the array with a count and list-style insert, delete, move and exchange.
// Reading a never-stored index gives nil at any distance from the count; Put recomputes the
// count from the highest stored index; negative indexes raise EListError through Error.
// The list never owns or frees its items.
//
// TStringSparseList: a TStrings whose items live in a TSparseList, each non-empty item a
// TStrItem (string + object). An empty string without an object removes the item, so a row
// of a grid costs only what it holds.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Classes.h"

QV_DECLARE_EXCEPTION(EStringSparseListError, Exception);

// 0: sections of 16 slots; 1: sections of 256 slots.
using TSPAQuantum = Byte;
constexpr TSPAQuantum SPASmall = 0;
constexpr TSPAQuantum SPALarge = 1;

// Called for every stored item in ascending index order; a non-zero answer stops the walk.
using TSPAApply = std::function<int(int Index, void* Item)>;

class TSparsePointerArray : public TObject {
public:
  explicit TSparsePointerArray(TSPAQuantum Quantum);
  TSparsePointerArray(const TSparsePointerArray&) = delete;
  TSparsePointerArray& operator=(const TSparsePointerArray&) = delete;
  ~TSparsePointerArray() override;

  // The item, or nil when the index lies in no existing section.
  void* GetAt(int Index) const;
  // The slot's address; makes its section (and grows the directory) when needed.
  void** MakeAt(int Index);
  // Stores the item; storing nil where nothing was stored allocates nothing.
  void PutAt(int Index, void* Item);
  // Moves the item at From to To; the items between shift one place towards From.
  void Rotate(int From, int To);
  // The walk of TSPAApply; answers the first non-zero answer, else 0.
  int ForAll(const TSPAApply& ApplyFunction) const;
  void ResetHighBound();

  int GetHighBound() const { return FHighBound; }
  int GetSectionSize() const { return FSectionSize; }
  // Number of directory slots and of sections actually allocated (memory accounting).
  int GetDirectoryLength() const { return FSlotsInDir; }
  int GetSectionCount() const;

  // The highest index an array of this quantum can address.
  int MaxIndex() const { return 65535 * static_cast<int>(FSectionSize) - 1; }

private:
  void** FSecDir = nullptr;
  Word FSlotsInDir = 0;
  Word FIndexMask;
  Word FSecShift;
  int FHighBound = -1;
  Word FSectionSize;
  mutable int FCachedIndex = -1;
  mutable void* FCachedPointer = nullptr;
};

class TSparseList : public TObject {
public:
  explicit TSparseList(TSPAQuantum Quantum);
  TSparseList(const TSparseList&) = delete;
  TSparseList& operator=(const TSparseList&) = delete;
  ~TSparseList() override;

  void* Get(int Index) const;
  void Put(int Index, void* Item);
  int GetCount() const { return FCount; }
  TSPAQuantum GetQuantum() const { return FQuantum; }
  // Forgets every item (they are not freed).
  void Clear();
  // Nothing when Index < 0 or Index >= count; the deleted item is not freed.
  void Delete(int Index);
  void Insert(int Index, void* Item);
  void Move(int CurIndex, int NewIndex);
  void Exchange(int Index1, int Index2);
  int ForAll(const TSPAApply& ApplyFunction) const;
  const TSparsePointerArray* GetArray() const { return FList; }

protected:
  // Raises EListError "List index out of bounds (%d)" with Index.
  [[noreturn]] virtual void Error(int Index) const;

private:
  TSparsePointerArray* FList;
  int FCount = 0;
  TSPAQuantum FQuantum;
};

struct TStrItem {
  TObject* FObject = nullptr;
  String FString;
};

class TStringSparseList : public TStrings {
public:
  explicit TStringSparseList(TSPAQuantum Quantum);
  ~TStringSparseList() override;

  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  // Sets the object of an existing item; makes an item only for a non-nil object.
  void PutObject(int Index, TObject* AObject) override;
  int GetCount() const override { return FList->GetCount(); }
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  // Inserts an item (also for an empty S) and shifts the items at and after Index.
  void Insert(int Index, const String& S) override;
  // Takes the text and object at CurIndex, deletes it and inserts them at NewIndex, inside an
  // update bracket. Either index may lie beyond the count: a row of cells moves its columns
  // whatever it holds.
  void Move(int CurIndex, int NewIndex) override;

  TSparseList* GetList() const { return FList; }

  // Streaming of the "List" property: the number of non-empty items, then for each its index
  // and string (objects are not written). Reading inserts each string at its index.
  void WriteData(TStream* Stream) const;
  void ReadData(TStream* Stream);

  TNotifyEvent OnChange;

protected:
  virtual void Changed();
  // Raises EStringSparseListError "PutObject to undefined item".
  [[noreturn]] virtual void Error() const;

private:
  TSparseList* FList;
};
