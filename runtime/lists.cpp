// Object lists and their enumerators.
//
// Live links own the following link (next) and know the previous one by a
// plain pointer. A removed link is marked dead and keeps, instead, a strong
// reference to the live link that stood before it at the time. An enumerator
// standing on a dead link walks those references back to a live link (or
// the list's head) and carries on from its current successor, so it never
// visits a removed record, never touches a freed link, and still sees records
// appended later. Clearing retires the head itself, so a walk of the old
// contents ends.
//
// Enumerators pin the links they stand on with plain counters (walks are the
// game's hottest loop; no atomic reference counts on the way). A pinned link
// that is removed keeps itself alive until the last pin goes, and the link an
// enumerator has just returned keeps its record until then.
#include <memory>

#include "runtime/runtime.h"

struct TListLink : std::enable_shared_from_this<TListLink> {
  ObjectRef value;
  std::shared_ptr<TListLink> next;
  TListLink* prev = nullptr;             // live links only
  std::shared_ptr<TListLink> deadPrev;   // dead links only
  std::shared_ptr<TListLink> keep;       // a dead link still pinned holds itself
  int nextPins = 0;                      // enumerators about to visit it
  int currentPins = 0;                   // enumerators that just returned it
  bool dead = false;
};

namespace {

// Marks a link taken out of its list; what it still owns goes unless pinned.
void Retire(TListLink* l, std::shared_ptr<TListLink> self, std::shared_ptr<TListLink> before) {
  l->dead = true;
  l->deadPrev = std::move(before);
  l->prev = nullptr;
  if (l->nextPins + l->currentPins > 0) l->keep = std::move(self);
  // Ends the record unless an enumerator just returned it or the game holds it.
  if (l->currentPins == 0) {
    ObjectRef gone = std::move(l->value);
  }
}

void Release(TListLink* l) {
  if (l->nextPins + l->currentPins > 0 || !l->dead) return;
  l->value.reset();
  std::shared_ptr<TListLink> self = std::move(l->keep);  // may end the link itself
}

void PinNext(TListLink* l) {
  if (l) ++l->nextPins;
}
void UnpinNext(TListLink* l) {
  if (!l) return;
  --l->nextPins;
  Release(l);
}
void PinCurrent(TListLink* l) {
  if (l) ++l->currentPins;
}
void UnpinCurrent(TListLink* l) {
  if (!l) return;
  if (--l->currentPins == 0 && l->dead) l->value.reset();
  Release(l);
}

}  // namespace

TList::TList() : head_(std::make_shared<TListLink>()) { head_->prev = head_.get(); }

TList::~TList() { Clear(); }

TListLink* TList::AddLast(ObjectRef record) {
  auto link = std::make_shared<TListLink>();
  link->value = std::move(record);
  TListLink* tail = head_->prev;
  link->prev = tail;
  tail->next = link;
  head_->prev = link.get();
  ++count_;
  return link.get();
}

bool TList::Remove(Object* record) {
  if (!record) return false;
  for (TListLink* l = head_->next.get(); l; l = l->next.get()) {
    if (l->value.get() != record) continue;
    std::shared_ptr<TListLink> self = l->shared_from_this();
    TListLink* before = l->prev;
    before->next = std::move(l->next);
    if (before->next) before->next->prev = before;
    else head_->prev = before;
    --count_;
    Retire(l, self, before->shared_from_this());
    return true;
  }
  return false;
}

void TList::Clear() {
  // The old head is retired as a dead end, so every walk of the old contents
  // ends, even one that would have found its way back to the head. Links are
  // unlinked one at a time, so a long list never unwinds recursively.
  std::shared_ptr<TListLink> chain = std::move(head_->next);
  head_->dead = true;
  head_->prev = nullptr;
  head_ = std::make_shared<TListLink>();
  head_->prev = head_.get();
  count_ = 0;
  while (chain) {
    std::shared_ptr<TListLink> following = std::move(chain->next);
    TListLink* l = chain.get();
    Retire(l, std::move(chain), nullptr);
    chain = std::move(following);
  }
}

int TList::Count() const { return count_; }

TListEnum TList::ObjectEnumerator() { return TListEnum(head_->next); }

Object* TList::First() const { return head_->next ? head_->next->value.get() : nullptr; }

TListEnum::TListEnum(std::shared_ptr<TListLink> start) : next_(start.get()) { PinNext(next_); }

TListEnum::TListEnum(const TListEnum& other) : next_(other.next_), current_(other.current_) {
  PinNext(next_);
  PinCurrent(current_);
}

TListEnum& TListEnum::operator=(const TListEnum& other) {
  if (this == &other) return *this;
  PinNext(other.next_);
  PinCurrent(other.current_);
  UnpinNext(next_);
  UnpinCurrent(current_);
  next_ = other.next_;
  current_ = other.current_;
  return *this;
}

TListEnum::~TListEnum() {
  UnpinNext(next_);
  UnpinCurrent(current_);
}

void TListEnum::SkipDead() {
  if (!next_ || !next_->dead) return;
  TListLink* back = next_->deadPrev.get();
  while (back && back->dead) back = back->deadPrev.get();
  TListLink* resume = back ? back->next.get() : nullptr;
  // Pin the way on before letting go of the link (and chain) behind it.
  PinNext(resume);
  UnpinNext(next_);
  next_ = resume;
}

bool TListEnum::HasNext() {
  SkipDead();
  return next_ != nullptr;
}

Object* TListEnum::NextObject() {
  SkipDead();
  TListLink* link = next_;
  if (!link) {
    UnpinCurrent(current_);
    current_ = nullptr;
    return nullptr;
  }
  PinCurrent(link);
  UnpinCurrent(current_);
  current_ = link;
  TListLink* after = link->next.get();
  PinNext(after);
  UnpinNext(link);  // still pinned as the current link
  next_ = after;
  return link->value.get();
}
