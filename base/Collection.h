// The class library's owned, ordered collections: items know their collection, so an
// item can tell its index and move itself; freeing an item removes it from its list.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Exceptions.h"

namespace base {

TANDREL_EXCEPTION(EListError, Exception);

class CollectionBase;

class CollectionItem {
public:
  virtual ~CollectionItem() = default;
  CollectionBase* Collection() const { return collection_; }
  int Index() const;
  // Moves the item inside its collection; EListError "List index out of bounds (%d)"
  // when the new index is outside the list, nothing changed then.
  void SetIndex(int index);

private:
  friend class CollectionBase;
  CollectionBase* collection_ = nullptr;
};

class CollectionBase {
public:
  CollectionBase() = default;
  CollectionBase(const CollectionBase&) = delete;
  CollectionBase& operator=(const CollectionBase&) = delete;
  virtual ~CollectionBase() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }
  void Delete(int index) {
    Check(index);
    items_.erase(items_.begin() + index);
  }
  // Frees the item when it belongs here; false otherwise.
  bool Remove(const CollectionItem* item) {
    int i = IndexOf(item);
    if (i < 0) return false;
    Delete(i);
    return true;
  }
  int IndexOf(const CollectionItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
  }
  // Exchanges the items of two collections; each item then belongs to its new list.
  void Swap(CollectionBase& other) {
    items_.swap(other.items_);
    for (auto& item : items_) item->collection_ = this;
    for (auto& item : other.items_) item->collection_ = &other;
  }
  void Move(int from, int to) {
    Check(from);
    Check(to);
    if (from == to) return;
    auto keep = std::move(items_[from]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(keep));
  }

protected:
  CollectionItem* Adopt(std::unique_ptr<CollectionItem> item) {
    item->collection_ = this;
    items_.push_back(std::move(item));
    return items_.back().get();
  }
  CollectionItem* At(int index) const {
    Check(index);
    return items_[index].get();
  }
  void Check(int index) const {
    if (index < 0 || index >= Count())
      throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }

private:
  std::vector<std::unique_ptr<CollectionItem>> items_;
};

inline int CollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }
inline void CollectionItem::SetIndex(int index) {
  if (collection_) collection_->Move(Index(), index);
}

// A collection of one item class. T must derive from CollectionItem.
template <class T>
class Collection : public CollectionBase {
public:
  T* Add() { return static_cast<T*>(Adopt(std::make_unique<T>())); }
  T* Add(std::unique_ptr<T> item) { return static_cast<T*>(Adopt(std::move(item))); }
  T* operator[](int index) const { return static_cast<T*>(At(index)); }
  T* Items(int index) const { return static_cast<T*>(At(index)); }

  // Clears this collection and fills it with copies made by T::Assign.
  void AssignFrom(const Collection<T>& other) {
    if (&other == this) return;
    Clear();
    for (int i = 0; i < other.Count(); ++i) Add()->Assign(*other[i]);
  }

  struct iterator {
    const Collection* c;
    int i;
    T* operator*() const { return (*c)[i]; }
    iterator& operator++() { ++i; return *this; }
    bool operator!=(const iterator& o) const { return i != o.i; }
  };
  iterator begin() const { return {this, 0}; }
  iterator end() const { return {this, Count()}; }
};

}  // namespace base
