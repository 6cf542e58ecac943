#include "ui/core/values/delegate.h"
#include "ui/core/values/delegate_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct Listener {
    std::string* log;
    char tag;
    bool answer;
    bool OnEvent(void* argument) {
        *log += tag;
        last = argument;
        return answer;
    }
    bool OnOther(void*) {
        *log += '!';
        return true;
    }
    void* last = nullptr;
};

struct DerivedListener : Listener {};

typedef CDelegate<Listener, Listener> ListenerDelegate;

TEST(Delegates, EqualityByObjectAndFunction) {
    std::string log;
    Listener a{&log, 'a', true}, b{&log, 'b', true};
    ListenerDelegate first(&a, &Listener::OnEvent);
    EXPECT_TRUE(first == ListenerDelegate(&a, &Listener::OnEvent));
    EXPECT_TRUE(first != ListenerDelegate(&b, &Listener::OnEvent));
    EXPECT_TRUE(first != ListenerDelegate(&a, &Listener::OnOther));
    CDelegateBase* copy = first.Copy();
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(*copy == first);
    int value = 0;
    EXPECT_TRUE((*copy)(&value));
    EXPECT_EQ(a.last, &value);
    delete copy;

    DerivedListener d;
    d.log = &log;
    d.tag = 'd';
    d.answer = false;
    CDelegate<DerivedListener, Listener> derived(&d, &Listener::OnEvent);
    EXPECT_FALSE(derived(nullptr));
    EXPECT_EQ(log, "ad");
}

TEST(Delegates, ListCallsInOrderAndStopsAtFalse) {
    std::string log;
    Listener a{&log, 'a', true}, b{&log, 'b', false}, c{&log, 'c', true};
    CDelegateList list;
    EXPECT_FALSE(list.HasDelegates());
    EXPECT_TRUE(list.Invoke(nullptr));  // an empty list agrees

    list.Add(ListenerDelegate(&a, &Listener::OnEvent));
    list.Add(ListenerDelegate(&a, &Listener::OnEvent));  // the same subscriber once only
    list.Add(ListenerDelegate(&b, &Listener::OnEvent));
    list.Add(ListenerDelegate(&c, &Listener::OnEvent));
    EXPECT_TRUE(list.HasDelegates());
    EXPECT_FALSE(list.Invoke(nullptr));
    EXPECT_EQ(log, "ab");  // c is never called

    b.answer = true;
    log.clear();
    EXPECT_TRUE(list.Invoke(nullptr));
    EXPECT_EQ(log, "abc");
}

// A subscriber that subscribes another while the list runs.
struct Subscriber {
    CDelegateList* list;
    Listener* next;
    bool OnEvent(void*) {
        list->Add(ListenerDelegate(next, &Listener::OnEvent));
        return true;
    }
};

TEST(Delegates, AddingWhileInvokingIsSafe) {
    std::string log;
    Listener late{&log, 'l', true};
    CDelegateList list;
    Subscriber s{&list, &late};
    list.Add(CDelegate<Subscriber, Subscriber>(&s, &Subscriber::OnEvent));
    std::vector<Listener> fillers(30, Listener{&log, 'f', true});
    for (Listener& filler : fillers) list.Add(ListenerDelegate(&filler, &Listener::OnOther));
    EXPECT_TRUE(list.Invoke(nullptr));
    EXPECT_EQ(log.back(), 'l');
}

// Takes delegates off the list it is called from.
struct Unsubscriber {
    CDelegateList* list;
    std::vector<ListenerDelegate> doomed;
    bool OnEvent(void*) {
        for (const ListenerDelegate& delegate : doomed) list->Remove(delegate);
        list->Remove(CDelegate<Unsubscriber, Unsubscriber>(this, &Unsubscriber::OnEvent));
        return true;
    }
};

TEST(Delegates, RemoveEmptiesASlotAndTheOthersKeepTheirOrder) {
    std::string log;
    Listener a{&log, 'a', true}, b{&log, 'b', true}, c{&log, 'c', true};
    CDelegateList list;
    list.Add(ListenerDelegate(&a, &Listener::OnEvent));
    list.Add(ListenerDelegate(&b, &Listener::OnEvent));
    list.Add(ListenerDelegate(&c, &Listener::OnEvent));
    EXPECT_TRUE(list.Remove(ListenerDelegate(&b, &Listener::OnEvent)));
    EXPECT_FALSE(list.Remove(ListenerDelegate(&b, &Listener::OnEvent)));
    EXPECT_FALSE(list.Remove(ListenerDelegate(&a, &Listener::OnOther)));
    list.Invoke(nullptr);
    EXPECT_EQ(log, "ac");
    list.Add(ListenerDelegate(&b, &Listener::OnEvent));  // at the end again
    log.clear();
    list.Invoke(nullptr);
    EXPECT_EQ(log, "acb");

    list.Remove(ListenerDelegate(&a, &Listener::OnEvent));
    list.Remove(ListenerDelegate(&b, &Listener::OnEvent));
    list.Remove(ListenerDelegate(&c, &Listener::OnEvent));
    EXPECT_FALSE(list.HasDelegates());
}

TEST(Delegates, ADelegateMayRemoveItselfAndOthersWhileTheListRuns) {
    std::string log;
    Listener before{&log, 'b', true}, after{&log, 'a', true};
    CDelegateList list;
    Unsubscriber u{&list, {ListenerDelegate(&before, &Listener::OnEvent), ListenerDelegate(&after, &Listener::OnEvent)}};
    list.Add(ListenerDelegate(&before, &Listener::OnEvent));
    list.Add(CDelegate<Unsubscriber, Unsubscriber>(&u, &Unsubscriber::OnEvent));
    list.Add(ListenerDelegate(&after, &Listener::OnEvent));
    EXPECT_TRUE(list.Invoke(nullptr));
    EXPECT_EQ(log, "b");  // the later one was gone before its turn
    EXPECT_FALSE(list.HasDelegates());
    EXPECT_TRUE(list.Invoke(nullptr));
    EXPECT_EQ(log, "b");
}

}  // namespace
