#pragma once
// Plug-in classes and their registry.
//
// CLASS REFERENCES
// Every plug-in class has exactly one metaclass object (a TPluginClass). A
// class reference, TPluginClassRef, points at it. The metaclass knows the
// class's name and parent, creates instances of exactly that class (the
// virtual constructor Create) and carries the class-level operations, which
// are virtual methods of the metaclass: called on a class reference they
// dispatch to the most derived override, also when one class-level operation
// calls another.
//
// A family of plug-ins extends the metaclass with its own class-level
// operations and declares its base class with the family metaclass:
//
//   class TTransitionPluginClass : public TPluginClass {
//    public:
//     virtual bool NeedsSourceBitmap() const { return false; }
//   };
//   class TTransitionPlugin : public TPlugin {
//     LMO_PLUGIN_WITH_CLASS(TTransitionPlugin, TPlugin, TTransitionPluginClass)
//    public:
//     ...
//   };
//
// A concrete class overrides class-level operations in its own metaclass,
// which derives from its parent's metaclass (Parent::TMetaClass):
//
//   class TTPFadeClass : public TTransitionPlugin::TMetaClass {
//    public:
//     std::string Caption() const override { return "Überblenden"; }
//     bool NeedsSourceBitmap() const override { return true; }
//   };
//   class TTPFade : public TTransitionPlugin {
//     LMO_PLUGIN_WITH_CLASS(TTPFade, TTransitionPlugin, TTPFadeClass)
//   };
//
// A class that overrides no class-level operation uses LMO_PLUGIN(Class,
// Parent) and inherits its parent's metaclass type. Either macro declares
//   static const TMetaClass* StaticClass();   // the class's one metaclass object
//   TPluginClassRef ClassType() const override;
// and the metaclass's Create() makes the class with its default constructor
// (the set-up a class needs goes into that constructor). The registered name
// is the C++ class name. Use in the global namespace.
//
// Using a class reference:
//   TPluginClassRef C = PluginRegistry.FindPlugin("tpvppicture");
//   if (C && C->InheritsFrom(TDavazozavPlugin::StaticClass()))
//     std::unique_ptr<TDavazozavPlugin> Obj = CreatePluginAs<TDavazozavPlugin>(C);
//   auto* T = PluginClassAs<TTransitionPluginClass>(C);   // nullptr if not a transition class
//   if (T) T->NeedsSourceBitmap();
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TPlugin;
class TPluginClass;
using TPluginClassRef = const TPluginClass*;

// The metaclass of TPlugin and the root of every family metaclass.
class TPluginClass {
public:
  virtual ~TPluginClass() = default;

  // The class name as registered and stored ("TPVPPicture").
  virtual std::string_view ClassName() const = 0;
  // The parent class; nullptr for TPlugin.
  virtual TPluginClassRef ClassParent() const = 0;
  // True when this class is Base or derives from it.
  bool InheritsFrom(TPluginClassRef Base) const;

  // The virtual constructor: a new instance of exactly this class.
  virtual std::unique_ptr<TPlugin> Create() const = 0;

  // Class-level operations.
  // The display name of the class; empty by default.
  virtual std::string Caption() const { return {}; }
  // Four further class-level operations with empty defaults that nothing
  // overrides or calls; kept so families can rely on their presence.
  virtual void ClassProcedure() const {}
  virtual std::string ClassQueryA() const { return {}; }
  virtual std::string ClassQueryB() const { return {}; }
  virtual void ClassQueryPair(std::string& First, std::string& Second) const {
    First.clear();
    Second.clear();
  }

protected:
  TPluginClass() = default;
  TPluginClass(const TPluginClass&) = delete;
  TPluginClass& operator=(const TPluginClass&) = delete;
};

// The one metaclass object of Class: Meta (Class's metaclass type) completed
// by name, parent and constructor. Made by the LMO_PLUGIN macros.
template <class Class, class Parent, class Meta>
class TPluginClassOf final : public Meta {
public:
  explicit TPluginClassOf(std::string_view Name) : Name_(Name) {}
  std::string_view ClassName() const override { return Name_; }
  TPluginClassRef ClassParent() const override {
    if constexpr (std::is_void_v<Parent>)
      return nullptr;
    else
      return Parent::StaticClass();
  }
  std::unique_ptr<TPlugin> Create() const override;

private:
  std::string_view Name_;
};

// Raised by Create() of a class that cannot be instantiated (abstract in C++).
class EAbstractPluginClass : public std::exception {
public:
  explicit EAbstractPluginClass(std::string Message) : Message_(std::move(Message)) {}
  const char* what() const noexcept override { return Message_.c_str(); }
private:
  std::string Message_;
};

#define LMO_PLUGIN_WITH_CLASS(Class, Parent, Meta)                                            \
public:                                                                                       \
  using TMetaClass = Meta;                                                                    \
  static_assert(std::is_base_of_v<Parent::TMetaClass, Meta>,                                  \
                "a plug-in's metaclass must derive from its parent's metaclass");             \
  static const TMetaClass* StaticClass() {                                                    \
    static const ::TPluginClassOf<Class, Parent, Meta> MetaClassObject(#Class);               \
    return &MetaClassObject;                                                                  \
  }                                                                                           \
  TPluginClassRef ClassType() const override { return StaticClass(); }                        \
                                                                                              \
private:

#define LMO_PLUGIN(Class, Parent) LMO_PLUGIN_WITH_CLASS(Class, Parent, Parent::TMetaClass)

// The root of every plug-in class. It has no fields.
class TPlugin {
public:
  using TMetaClass = TPluginClass;
  static const TPluginClass* StaticClass();

  TPlugin() = default;
  virtual ~TPlugin() = default;
  TPlugin(const TPlugin&) = delete;
  TPlugin& operator=(const TPlugin&) = delete;

  // The class of this instance.
  virtual TPluginClassRef ClassType() const;
  std::string_view ClassName() const { return ClassType()->ClassName(); }
  bool InheritsFrom(TPluginClassRef Base) const { return ClassType()->InheritsFrom(Base); }

  // Copies what Source holds; the root copies nothing and accepts any source.
  virtual void Assign(const TPlugin* Source);
};

template <class Class, class Parent, class Meta>
std::unique_ptr<TPlugin> TPluginClassOf<Class, Parent, Meta>::Create() const {
  if constexpr (std::is_abstract_v<Class>)
    throw EAbstractPluginClass("cannot create an instance of the abstract class " + std::string(Name_));
  else
    return std::make_unique<Class>();
}

// The metaclass of C as a family metaclass, or nullptr when C is not one.
template <class Meta>
const Meta* PluginClassAs(TPluginClassRef C) {
  return dynamic_cast<const Meta*>(C);
}

// Creates an instance of C and answers it as a T; nullptr (the instance
// destroyed again) when C is nullptr or the instance is not a T.
template <class T>
std::unique_ptr<T> CreatePluginAs(TPluginClassRef C) {
  if (!C) return nullptr;
  std::unique_ptr<TPlugin> Obj = C->Create();
  if (auto* Typed = dynamic_cast<T*>(Obj.get())) {
    Obj.release();
    return std::unique_ptr<T>(Typed);
  }
  return nullptr;
}

// ---- the registry ----------------------------------------------------------

// One registry entry.
class TPluginListItem {
public:
  // An entry for a class ("Create").
  TPluginListItem(TPluginClassRef PluginClass, bool RegisterForStreaming);
  // An entry made from an instance, which the entry owns ("CreateFromInstance").
  TPluginListItem(std::unique_ptr<TPlugin> Instance, bool RegisterForStreaming);
  ~TPluginListItem();
  TPluginListItem(const TPluginListItem&) = delete;
  TPluginListItem& operator=(const TPluginListItem&) = delete;

  // Component streaming plays no part here; the flag is kept and nothing else.
  bool StreamRegistered() const { return StreamRegistered_; }
  TPlugin* Instance() const { return Instance_.get(); }
  TPluginClassRef PluginClass() const { return PluginClass_; }

  void FreeInstance() { Instance_.reset(); }

private:
  bool StreamRegistered_;
  std::unique_ptr<TPlugin> Instance_;
  TPluginClassRef PluginClass_;
};

// A list of entries whose slots may be empty (nullptr). An owning list frees
// its entries when they are removed or replaced and when it is destroyed; a
// sharing list never does.
class TPluginList {
public:
  explicit TPluginList(bool OwnsObjects);
  ~TPluginList();
  TPluginList(const TPluginList&) = delete;
  TPluginList& operator=(const TPluginList&) = delete;

  bool OwnsObjects() const { return OwnsObjects_; }
  std::int32_t Count() const { return static_cast<std::int32_t>(Items_.size()); }

  // The entry in slot Index, nullptr for an empty slot. An index outside the
  // list raises EListError "Listenindex überschreitet das Maximum (<Index>)".
  TPluginListItem* Items(std::int32_t Index) const;
  TPluginListItem* operator[](std::int32_t Index) const { return Items(Index); }
  // Puts Item (may be nullptr) into slot Index; an owning list frees the entry
  // that was there and takes ownership of Item.
  void SetItem(std::int32_t Index, TPluginListItem* Item);
  // Appends; an owning list takes ownership.
  void Add(TPluginListItem* Item);

  // Sorts the slots; empty slots go to the end. Compare answers <0, 0, >0.
  // Any comparison function is safe, also one that is not consistent.
  void Sort(const std::function<std::int32_t(const TPluginListItem*, const TPluginListItem*)>& Compare);

private:
  void CheckIndex(std::int32_t Index) const;
  void Drop(TPluginListItem* Item) const;

  bool OwnsObjects_;
  std::vector<TPluginListItem*> Items_;
};

using TPluginCompare = std::function<std::int32_t(const TPluginListItem*, const TPluginListItem*)>;

// The registry of plug-in classes.
//
// Class names are compared ignoring case as Western text: the ASCII letters
// and the Windows-1252 letters (ä/Ä, é/É, Š/š, ...) fold, see
// platform::FoldCaseCp1252. Names are 8-bit Windows-1252 text, as stored.
class TPlugins {
public:
  // An empty registry that owns its entries.
  TPlugins();
  ~TPlugins();
  TPlugins(const TPlugins&) = delete;
  TPlugins& operator=(const TPlugins&) = delete;

  // Appends an entry for PluginClass unless a class of the same name is
  // registered already (the first registration under a name stays).
  void RegisterPlugin(TPluginClassRef PluginClass);
  // Whether an entry's class has the name of PluginClass (names only, never
  // class identity).
  bool IsRegistered(TPluginClassRef PluginClass) const;
  // The class of the first entry named Name; nullptr when none is.
  TPluginClassRef FindPlugin(std::string_view Name) const;

  std::int32_t Count() const { return Items_.Count(); }
  // The entry at Index (nullptr for an emptied slot); EListError outside.
  TPluginListItem* Items(std::int32_t Index) const { return Items_.Items(Index); }
  // The list itself, e.g. to empty slots of a registry made by PluginsOf.
  TPluginList& List() { return Items_; }
  const TPluginList& List() const { return Items_; }

  // A new registry sharing (not owning) the entries whose class is BaseClass
  // or derives from it, in list order; nullptr when none qualifies.
  std::unique_ptr<TPlugins> PluginsOf(TPluginClassRef BaseClass) const;

  // Ascending by Caption; only a-z fold, other bytes compare by value, a text
  // sorts before a longer one it starts. Equal captions keep no defined order.
  void SortByCaption();
  void Sort(const TPluginCompare& Compare);

  bool OwnsEntries() const { return Items_.OwnsObjects(); }

private:
  explicit TPlugins(bool OwnsEntries);
  TPluginList Items_;
};
