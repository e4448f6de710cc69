#pragma once
// XNode: one node of a property-list document (the settings files' XML dialect).
//
//   std::unique_ptr<XNode> root = XNode::LoadFile("UserSettings.ini", nullptr);
//   XNode* index = root->FindPath("1_0_0.CurrentSkinIndex", XNode::kPathCreate);
//   index->SetInteger(2);
//   root->SaveToFile("UserSettings.ini", 0);
//
// A dict entry is one node carrying both its key and its value; array items carry no
// key. Containers own their children through a holder count: a node may be held by
// several containers and is destroyed when the last one lets it go. Keys compare
// without regard to ASCII letter case (bytes are compared after OR 0x20). Text is UTF-8.
//
// The nodes Load makes, and their containers' child lists, lie in shared blocks of
// memory rather than one allocation each; nothing else differs: each node is still
// destroyed on its own (by delete or by its last container), may be moved to any other
// tree and outlives its document's root. A block is freed when the last node or list in
// it goes, so a node kept alone keeps at most two blocks of its document (about 16 KB
// each: its own and its list's) allocated.
//
// Documents nest at most kMaxDepth levels, the root included: the reader refuses a
// deeper document, the writer a deeper tree, and FindPath creates no deeper path.
// Numbers are read and written the same way under every locale.
//
// Not synchronised: a tree belongs to one thread at a time. Nothing here throws except
// std::bad_alloc.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class XNode {
public:
  enum Type : uint32_t {
    kTypeNone = 0, // a node that so far has only a key
    kTypeString = 1,
    kTypeBool = 2,
    kTypeInteger = 3,
    kTypeReal = 4,
    kTypeDict = 5,
    kTypeArray = 6,
    kTypeData = 7,
    // An element of a kind the format does not list (such as "date"), kept with its name
    // and text so that a load and a save lose nothing.
    kTypeElement = 8,
  };

  // Bits of GetFlags(): the type in bits 0-3, then the state bits.
  static constexpr uint32_t kTypeMask = 0x0F;
  static constexpr uint32_t kFlagDirty = 0x10;
  static constexpr uint32_t kFlagVolatile = 0x20; // never saved, never dirties its containers
  static constexpr uint32_t kFlagVisible = 0x40;
  static constexpr uint32_t kFlagLocked = 0x80;

  // Flags of FindPath.
  static constexpr uint32_t kPathCreate = 1;         // create missing nodes
  static constexpr uint32_t kPathCreateVolatile = 2; // create them, the leaf and new array items volatile
  static constexpr uint32_t kPathRemove = 4;         // remove the node found from its container

  // Flags of Write.
  static constexpr uint32_t kWriteDocument = 1;        // prolog and closing "</plist>"
  static constexpr uint32_t kWriteStateAttributes = 2; // volatile="true" and dirty="true"
  static constexpr uint32_t kWriteVolatile = 4;        // include volatile nodes

  static constexpr int kMaxDepth = 64;
  // Write's error for a tree nested deeper than kMaxDepth.
  static constexpr int kErrorTooDeep = EOVERFLOW;
  // Write's error for a key or text that XML cannot carry (see IsXmlText).
  static constexpr int kErrorNotXmlText = EILSEQ;

  // Destination of Write. Write stops as soon as the error code is non-zero.
  class Output {
  public:
    virtual ~Output() = default;
    // Appends length bytes; on failure sets the error code.
    virtual void Write(const char* bytes, size_t length) = 0;
    int GetError() const { return mError; }

  protected:
    int mError = 0;
  };

  // Writes to a C stream the caller opened and closes; the error is errno (5 when the
  // library leaves errno 0).
  class OutputFile final : public Output {
  public:
    explicit OutputFile(FILE* stream) : mStream(stream) {}
    void Write(const char* bytes, size_t length) override;

  private:
    FILE* mStream;
  };

  // A parentless node of the given type.
  explicit XNode(Type type = kTypeNone) : mFlags(type) {}
  // A node of the given type appended to parent (which must be a dict or an array
  // and then owns it).
  XNode(XNode* parent, Type type);
  // Frees key and value, lets go of every child and detaches the node from any
  // container still holding it. Inline: a tree's release destroys every node, most of them
  // leaves their one container has already let go of, with nothing to do beyond the members.
  ~XNode() {
    if (mParent || mRare || !mChildren.empty()) [[unlikely]] {
      Unlink();
    }
  }
  XNode(const XNode&) = delete;
  XNode& operator=(const XNode&) = delete;
  // Destroys the node and returns its memory to the heap or to the block Load made it in.
  void operator delete(XNode* node, std::destroying_delete_t);

  // --- Type and state --------------------------------------------------------------

  Type GetType() const { return Type(mFlags & kTypeMask); }
  // Changes the type, clearing the value first (text freed, children let go) and
  // marking the node dirty; the same type keeps the value. True when it changed.
  bool SetType(Type type);
  uint32_t GetFlags() const { return mFlags; }
  // Sets or clears kFlagVolatile, kFlagVisible or kFlagLocked. A node made volatile is
  // clean: it is never saved.
  void SetFlag(uint32_t flag, bool on);
  bool IsDirty() const { return (mFlags & kFlagDirty) != 0; }
  bool IsVolatile() const { return (mFlags & kFlagVolatile) != 0; }
  // on: marks this node and its containers up to the first already dirty one; a
  // volatile node stays clean. off: clears this node and everything below it.
  void SetDirty(bool on);

  // --- Key -------------------------------------------------------------------------

  // An empty key removes the key. A key is no value: the node does not become dirty.
  void SetKey(std::string_view key);
  std::string_view GetKey() const { return mKey; }
  bool HasKey() const { return !mKey.empty(); }
  // HashKey(GetKey()), worked out when first asked for (FindChild asks) and kept: a tree
  // read by two threads at once is no more safe than before.
  uint32_t GetKeyHash() const {
    if (!mKeyHashKnown) [[unlikely]] {
      mKeyHash = HashKey(mKey);
      mKeyHashKnown = true;
    }
    return mKeyHash;
  }
  static uint32_t HashKey(std::string_view key);
  static bool KeysEqual(std::string_view a, std::string_view b);

  // --- Values ----------------------------------------------------------------------

  // By type: string, data and other elements append the text; bool is true when the
  // text begins with "true" in any case; integer reads a C integer literal (0x
  // hexadecimal, leading 0 octal), saturated to 32 bits; real reads a decimal number
  // with '.'. Marks dirty.
  void SetFromText(std::string_view text);
  // Makes the node a string (or bool, integer) holding the value; dirty when changed.
  void SetString(std::string_view text);
  void SetBool(bool value);
  void SetInteger(int32_t value);
  // Makes the node a kTypeElement named name (as written, case kept; it must be an XML
  // name for Write); its text comes through SetFromText.
  void SetElement(std::string_view name);

  // The text of a string, data or kTypeElement node; empty for other types.
  const std::string& GetText() const { return mText; }
  // The name of a kTypeElement node; empty for other types.
  const std::string& GetElementName() const;
  bool GetBool() const { return mBool; }
  int32_t GetInteger() const { return mInteger; }
  float GetReal() const { return mReal; }

  // --- Children (dicts and arrays) ---------------------------------------------------

  // Appends child and records this container in its parent list; marks this node
  // dirty unless the child is volatile. False (nothing done) when this node is
  // neither a dict nor an array.
  bool AddChild(XNode* child);
  // AddChild for each of children in order, the list grown once. False (nothing done)
  // when this node is neither a dict nor an array or a child is null.
  bool AddChildren(std::span<XNode* const> children);
  // Removes the first occurrence of child (or the item at index); the child is
  // destroyed when no other container holds it. Dirties like AddChild. False when absent.
  bool RemoveChild(XNode* child);
  bool RemoveChildAt(uint32_t index);
  // Arrays only: stores child at index (growing with empty slots), letting go of the
  // node that was there.
  bool SetArrayItem(uint32_t index, XNode* child);
  // Arrays only: removes items from the end down to count, or appends empty slots.
  bool SetArraySize(uint32_t count);
  // Children of a dict or array (empty slots included), 0 for other types; without
  // includeVolatile, only the non-volatile children that are present.
  uint32_t GetChildCount(bool includeVolatile) const;
  // The child at index; null for an empty slot or an index past the end.
  XNode* GetChild(uint32_t index) const { return index < mChildren.size() ? mChildren[index] : nullptr; }
  // The first child whose key equals key; null when none.
  XNode* FindChild(std::string_view key) const;

  // The node a key path leads to from this node: segments separated by "." and array
  // indices in brackets ("1_0_0.CurrentSkinIndex", "List[2].Name"); the empty path is
  // this node. Null when missing (without create flags), when it cannot be created, or
  // after kPathRemove.
  XNode* FindPath(std::string_view path, uint32_t flags);

  // --- Documents -------------------------------------------------------------------

  // Writes this node and its subtree; returns the sink's error code, or kErrorTooDeep
  // or kErrorNotXmlText (the output is then incomplete), 0 on success. Keys and the text
  // of every kind, data included, are escaped: data written raw would break the
  // document at its first "&" or "<". Other elements are written back under their own
  // name with their text.
  [[nodiscard]] int Write(Output& sink, uint32_t flags) const;
  // Writes the document (flags | kWriteDocument) to a temporary file beside the target
  // and renames it over the target, so a failed save leaves the old file whole. Lines
  // end with LF alone, never CR LF, like every settings file. A symbolic link is
  // followed. 0, or an errno value (5 when errno is 0), or a Write error.
  [[nodiscard]] int SaveToFile(const char* path, uint32_t flags) const;

  // Parses a whole document. On a parse error writes "<file name>:<line>: <error>" to
  // stderr (file name "XML Load Error" when null), turns errorNode (when given) into a
  // string node with the text XML Load Error "<error>" line <n>, and returns null.
  [[nodiscard]] static std::unique_ptr<XNode> Load(std::string_view text, const char* fileName, XNode* errorNode);
  // Reads the file and loads it; null without a message when it cannot be read.
  [[nodiscard]] static std::unique_ptr<XNode> LoadFile(const char* path, XNode* errorNode);

  // Whether text is well-formed UTF-8 of characters XML 1.0 can carry (no control
  // characters other than TAB, LF and CR, no surrogates, no U+FFFE or U+FFFF).
  static bool IsXmlText(std::string_view text);
  // Appends text with & < > " ' replaced by their entities.
  static void AppendEscaped(std::string& out, std::string_view text);

private:
  class Reader;
  class Block;

  // Allocates child lists, each after a word naming where it lies: on the heap, or in the
  // block of a document's nodes, which Load fills with its containers' lists too. A list
  // in a block holds it like a node. Without state, so that a list costs no more room in
  // every node.
  class ChildAllocator {
  public:
    using value_type = XNode*;
    using is_always_equal = std::true_type;
    template <class U>
    struct rebind {
      using other = ChildAllocator;
    };
    XNode** allocate(size_t count);
    void deallocate(XNode** list, size_t count);
    friend bool operator==(const ChildAllocator&, const ChildAllocator&) { return true; }

    // The block lists allocated on this thread are placed in while there is room, if any:
    // set by the reader around handing a container its children.
    static thread_local Block* tBlock;
  };
  using ChildList = std::vector<XNode*, ChildAllocator>;

  // SetType for a different type, without dirtying.
  void ResetType(Type type);
  // SetFromText without dirtying.
  void AssignFromText(std::string_view text);
  // Lets go of every child without dirtying anything.
  void ReleaseChildren();
  // The destructor's work beyond the members: leaves its containers, lets go of children.
  void Unlink();
  // Runs node's destructor and frees it, unless Load made it: then returns its block,
  // which the caller must release once for it.
  static Block* Destroy(XNode* node);
  // Lets go of one reference held by container; destroys the node at the last one.
  void ReleaseFrom(XNode* container);
  void TakeFrom(XNode* container);

  // What few nodes have, kept apart so that every node is smaller to make and destroy.
  struct Rare {
    // The containers holding the node beyond mParent, one entry per holding slot.
    std::vector<XNode*> moreParents;
    std::string elementName;
  };

  Rare& MakeRare();
  bool HasMoreParents() const { return mRare && !mRare->moreParents.empty(); }

  // The containers holding the node, one entry per holding slot: almost every node has
  // exactly one, kept inline (the others in mRare); the node is destroyed when the last
  // entry goes.
  XNode* mParent = nullptr;
  std::unique_ptr<Rare> mRare;
  // The block holding the node's memory; null for a node of its own allocation.
  Block* mBlock = nullptr;
  uint32_t mFlags;
  // Hashed when first needed rather than as each key of a document is read.
  mutable uint32_t mKeyHash = 0;
  std::string mKey;
  std::string mText;
  ChildList mChildren;
  int32_t mInteger = 0;
  float mReal = 0.0f;
  bool mBool = false;
  mutable bool mKeyHashKnown = true; // the empty key's hash is 0
};
