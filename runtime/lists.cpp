// Object lists and their enumerators, and the registry of record types.
//
// Live links own the following link (next) and know the previous one by a
// plain pointer. A removed link is marked dead and keeps, instead, a strong
// reference to the live link that stood before it at the time. An enumerator
// standing on a dead link walks those references back to a live link (or
// the list's head) and carries on from its current successor, so it never
// visits a removed record, never touches a freed link, and still sees records
// appended later. Clearing retires the head itself, so a walk of the old
// contents ends.
#include <memory>
#include <set>
#include <string>

#include "runtime/runtime.h"

struct TListLink : std::enable_shared_from_this<TListLink> {
  ObjectRef value;
  std::shared_ptr<TListLink> next;
  TListLink* prev = nullptr;             // live links only
  std::shared_ptr<TListLink> deadPrev;   // dead links only
  bool dead = false;
};

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

int TList::Remove(Object* record) {
  if (!record) return 0;
  for (TListLink* l = head_->next.get(); l; l = l->next.get()) {
    if (l->value.get() != record) continue;
    std::shared_ptr<TListLink> self = l->shared_from_this();
    TListLink* before = l->prev;
    before->next = l->next;
    if (l->next) l->next->prev = before;
    else head_->prev = before;
    l->dead = true;
    l->deadPrev = before->shared_from_this();
    l->next.reset();
    l->prev = nullptr;
    --count_;
    // Ends the record unless someone (an enumerator, the game) still holds it.
    ObjectRef gone = std::move(l->value);
    return 1;
  }
  return 0;
}

void TList::Clear() {
  // Unlink one at a time, so a long list never unwinds recursively.
  // The old head is retired as a dead end, so every walk of the old contents
  // ends, even one that would have found its way back to the head.
  std::shared_ptr<TListLink> chain = std::move(head_->next);
  head_->next.reset();
  head_->dead = true;
  head_->prev = nullptr;
  head_ = std::make_shared<TListLink>();
  head_->prev = head_.get();
  count_ = 0;
  while (chain) {
    std::shared_ptr<TListLink> following = std::move(chain->next);
    chain->next.reset();
    chain->dead = true;
    chain->deadPrev.reset();
    chain->prev = nullptr;
    chain->value.reset();
    chain = std::move(following);
  }
}

int TList::Count() const { return count_; }

TListEnum TList::ObjectEnumerator() { return TListEnum(head_->next); }

Object* TList::First() const { return head_->next ? head_->next->value.get() : nullptr; }

TListEnum::TListEnum(std::shared_ptr<TListLink> start) : next_(std::move(start)) {}

void TListEnum::SkipDead() {
  if (!next_ || !next_->dead) return;
  TListLink* back = next_->deadPrev.get();
  while (back && back->dead) back = back->deadPrev.get();
  // Take a reference before letting go of the chain that keeps back alive.
  std::shared_ptr<TListLink> resume = back ? back->next : nullptr;
  next_ = std::move(resume);
}

int TListEnum::HasNext() {
  SkipDead();
  return next_ ? 1 : 0;
}

Object* TListEnum::NextObject() {
  SkipDead();
  if (!next_) {
    current_.reset();
    return nullptr;
  }
  current_ = next_->value;
  std::shared_ptr<TListLink> after = next_->next;
  next_ = std::move(after);
  return current_.get();
}

namespace {
std::set<std::string>& UserTypes() {
  static std::set<std::string> types;
  return types;
}
}  // namespace

void RegisterUserType(const char* name) {
  if (name) UserTypes().insert(name);
}

bool UserTypeRegistered(const char* name) { return name && UserTypes().count(name) > 0; }
