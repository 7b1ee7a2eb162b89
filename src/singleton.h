#pragma once
// Process-wide objects created on first use. The exit handler destroys them
// in a fixed order with destroy_instance(); nothing else frees them, and a
// destroyed singleton is not recreated unless someone asks for it again.

template <typename T>
class cSingleton {
public:
    static T* get_instance()
    {
        if (!instance)
            instance = new T();
        return instance;
    }
    static bool exists() { return instance != nullptr; }
    static void destroy_instance()
    {
        delete instance;
        instance = nullptr;
    }

protected:
    cSingleton() = default;
    virtual ~cSingleton() = default;

private:
    static inline T* instance = nullptr;
};
