#include "events.h"

#include <algorithm>

cEventQueue::~cEventQueue()
{
    for (cEvent* e : events)
        delete e;
}

void cEventQueue::sort()
{
    std::sort(events.begin(), events.end(),
              [](const cEvent* a, const cEvent* b) { return a->time < b->time; });
}
