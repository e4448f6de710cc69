// The property-list reader over Expat. Per nesting level it keeps the node being filled:
// a "key" element makes a node without a type that the value element after it then
// types and fills, so a dict entry is one node; "dict" and "array" open the next level.
// A value element of a kind the format does not list is kept under its own name.

#include <expat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "QZFramework/Services/Settings/XNode.h"
#include "QZFramework/Services/Settings/XNodeBlock.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace {

constexpr const char* kTooDeepText = "nesting deeper than 64 levels";
static_assert(XNode::kMaxDepth == 64, "kTooDeepText names the limit");

enum class Element { Plist, Key, Dict, Array, Integer, Real, String, Data, True, False, Other };

// name equals word: compared here rather than through a library call, as every element
// start and end of a document comes by.
template <size_t N>
bool Is(const XML_Char* name, const char (&word)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (name[i] != word[i]) {
      return false;
    }
  }
  return true;
}

// The names as documents write them, in lower case: found without folding.
Element ClassifyLowerCase(const XML_Char* name) {
  switch (name[0]) {
  case 'k':
    return Is(name, "key") ? Element::Key : Element::Other;
  case 's':
    return Is(name, "string") ? Element::String : Element::Other;
  case 'i':
    return Is(name, "integer") ? Element::Integer : Element::Other;
  case 'd':
    return Is(name, "dict") ? Element::Dict : Is(name, "data") ? Element::Data : Element::Other;
  case 'r':
    return Is(name, "real") ? Element::Real : Element::Other;
  case 't':
    return Is(name, "true") ? Element::True : Element::Other;
  case 'f':
    return Is(name, "false") ? Element::False : Element::Other;
  case 'a':
    return Is(name, "array") ? Element::Array : Element::Other;
  case 'p':
    return Is(name, "plist") ? Element::Plist : Element::Other;
  default:
    return Element::Other;
  }
}

// Element names compare without case.
Element Classify(const XML_Char* name) {
  if (const Element element = ClassifyLowerCase(name); element != Element::Other) {
    return element;
  }
  char lower[8];
  size_t length = 0;
  for (; name[length] != 0; ++length) {
    if (length == sizeof lower) {
      return Element::Other;
    }
    lower[length] = QZ::Chars::ToLower(name[length]);
  }
  const std::string_view text(lower, length);
  switch (length) {
  case 3:
    return text == "key" ? Element::Key : Element::Other;
  case 4:
    return text == "dict"   ? Element::Dict
           : text == "true" ? Element::True
           : text == "real" ? Element::Real
           : text == "data" ? Element::Data
                            : Element::Other;
  case 5:
    return text == "array"   ? Element::Array
           : text == "false" ? Element::False
           : text == "plist" ? Element::Plist
                             : Element::Other;
  case 6:
    return text == "string" ? Element::String : Element::Other;
  case 7:
    return text == "integer" ? Element::Integer : Element::Other;
  default:
    return Element::Other;
  }
}

bool IsTrue(const XML_Char* value) { return QZ::Chars::CompareNoCase(value, "true") == 0; }

// Nodes per block. A block of this size costs the heap as much to hand out and take back
// as one of 4 KB, a few hundred instructions, for four times the nodes; it stays far
// below the size the heap maps from the system on its own, so the next document reuses
// the memory without page faults. (The 16 bytes spared are the block's header.)
constexpr uint32_t kBlockNodes = uint32_t((16384 - 16) / sizeof(XNode));

struct ParserDeleter {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

} // namespace

// The nodes are made clean and filled without the public setters' dirtying: a loaded
// tree is clean, and marking every node on the way only to clear them all is not free.
class XNode::Reader {
public:
  explicit Reader(XML_Parser parser) : mParser(parser) {}
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  ~Reader() {
    delete mRoot;
    for (XNode* orphan : mOrphans) {
      delete orphan;
    }
    for (const Level& level : mLevels) {
      for (XNode* child : level.children) {
        delete child; // not yet handed to its container: the document failed first
      }
    }
    if (mBlock) {
      mBlock->ReleaseMaker();
    }
  }

  static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    static_cast<Reader*>(self)->Start(name, attributes);
  }
  static void XMLCALL OnEnd(void* self, const XML_Char* name) { static_cast<Reader*>(self)->End(name); }
  // A key's character data goes straight to the key.
  static void XMLCALL OnKeyText(void* self, const XML_Char* text, int length) {
    static_cast<Reader*>(self)->mTextNode->mKey.append(text, size_t(length));
  }
  // A value's is read at its end: a text in one piece (as most are) straight from where
  // Expat handed it, pieces gathered first.
  static void XMLCALL OnValueText(void* self, const XML_Char* text, int length) {
    Reader& reader = *static_cast<Reader*>(self);
    if (!reader.mPiece.data() && reader.mText.empty() && reader.InInput(text)) {
      reader.mPiece = std::string_view(text, size_t(length));
    } else {
      reader.Gather(text, size_t(length));
    }
  }

  // Before Expat is handed the next part of a document, in which it may move its copy.
  void KeepPiece() {
    mText.append(std::exchange(mPiece, std::string_view()));
    mInputKnown = false;
  }

  bool TooDeep() const { return mTooDeep; }

  // The finished tree, clean; the reader keeps nothing.
  std::unique_ptr<XNode> TakeRoot() { return std::unique_ptr<XNode>(std::exchange(mRoot, nullptr)); }

private:
  struct Level {
    XNode* node = nullptr;
    // The nodes made at this level since the container above it opened, in document
    // order: handed to it together when it closes, so its list grows once.
    std::vector<XNode*> children;
  };

  // Whether text lies in Expat's copy of the part of the document being parsed, where it
  // stays until the next part. Other text (a converted encoding, a reference, a line end)
  // may lie in memory that Expat reuses as soon as the handler returns.
  bool InInput(const XML_Char* text) {
    if (!mInputKnown) [[unlikely]] {
      int offset = 0;
      int size = 0;
      mInput = XML_GetInputContext(mParser, &offset, &size);
      mInputEnd = mInput ? mInput + size : nullptr;
      mInputKnown = true;
    }
    return mInput && text >= mInput && text < mInputEnd;
  }

  // Appends the piece held, if any, and then text to the value's text gathered.
  [[gnu::noinline]] void Gather(const XML_Char* text, size_t length) {
    mText.append(std::exchange(mPiece, std::string_view()));
    mText.append(text, length);
  }

  // Character data is asked of Expat only inside an element whose text is kept: the
  // layout between elements is not handed over at all.
  void ListenToText(XML_CharacterDataHandler handler) {
    if (handler != mListening) {
      mListening = handler;
      XML_SetCharacterDataHandler(mParser, handler);
    }
  }

  void Start(const XML_Char* name, const XML_Char** attributes) {
    if (mLevel >= XNode::kMaxDepth) {
      mTooDeep = true;
      mEndsLeave.push_back(0); // Expat still reports the end of an empty element
      XML_StopParser(mParser, XML_FALSE);
      return;
    }
    StopText();
    const Element element = Classify(name);
    mEndsLeave.push_back(element == Element::Plist || element == Element::Dict || element == Element::Array);
    Level& level = mLevels[mLevel];
    if (element == Element::Key && level.node && level.node->GetType() == XNode::kTypeNone && level.node->HasKey()) {
      level.node = nullptr; // the key before had no value: it stays without one
    }
    if (!level.node) {
      std::unique_ptr<XNode> made(MakeNode());
      if (mLevel > 0) {
        level.children.push_back(made.get());
      }
      level.node = made.release();
      if (!mRoot) {
        mRoot = level.node;
      } else if (mLevel == 0) {
        mOrphans.push_back(level.node); // a second top-level value inside "plist"
      }
    }
    XNode& node = *level.node;
    for (const XML_Char** attribute = attributes; attribute[0]; attribute += 2) {
      if (std::strcmp(attribute[0], "visible") == 0) {
        node.SetFlag(XNode::kFlagVisible, IsTrue(attribute[1]));
      } else if (std::strcmp(attribute[0], "locked") == 0) {
        node.SetFlag(XNode::kFlagLocked, IsTrue(attribute[1]));
      }
    }
    switch (element) {
    case Element::Key:
      TakeText(node);
      break;
    case Element::Dict:
      Retype(node, XNode::kTypeDict);
      Enter();
      break;
    case Element::Array:
      Retype(node, XNode::kTypeArray);
      Enter();
      break;
    case Element::Integer:
      Fill(node, XNode::kTypeInteger);
      break;
    case Element::Real:
      Fill(node, XNode::kTypeReal);
      break;
    case Element::String:
      Fill(node, XNode::kTypeString);
      break;
    case Element::Data:
      Fill(node, XNode::kTypeData);
      break;
    case Element::True:
    case Element::False:
      Retype(node, XNode::kTypeBool);
      node.mBool = element == Element::True;
      break;
    case Element::Other:
      // Inside a value element this nested element is not a value of its own.
      if (node.GetType() == XNode::kTypeNone) {
        Retype(node, XNode::kTypeElement);
        node.MakeRare().elementName.assign(name);
        TakeText(node);
      }
      break;
    case Element::Plist:
      break;
    }
  }

  // A parentless node without a type, from the current block or a new one.
  XNode* MakeNode() {
    if (!mBlock || mBlock->IsFull()) {
      Block* next = Block::Create(kBlockNodes);
      if (mBlock) {
        mBlock->ReleaseMaker();
      }
      mBlock = next;
    }
    return mBlock->Make(XNode::kTypeNone);
  }

  // The next level; its list of children is empty (and keeps the room it had).
  void Enter() {
    Level& level = mLevels[++mLevel];
    level.node = nullptr;
    level.children.clear();
  }

  // Hands the level's children to the container it was entered from, which every node
  // made there names as its parent.
  void Leave() {
    std::vector<XNode*>& children = mLevels[mLevel].children;
    XNode& container = *mLevels[mLevel - 1].node;
    {
      // The list goes in the current block when there is room.
      struct Placement {
        explicit Placement(Block* block) { ChildAllocator::tBlock = block; }
        ~Placement() { ChildAllocator::tBlock = nullptr; }
      } placement(mBlock);
      if (container.mChildren.empty()) {
        container.mChildren.assign(children.begin(), children.end());
      } else {
        container.mChildren.insert(container.mChildren.end(), children.begin(), children.end());
      }
    }
    for (XNode* child : children) {
      child->mParent = &container; // made here: held by nothing yet
    }
    children.clear();
    --mLevel;
  }

  // SetType without dirtying; a node without a type yet holds nothing to clear.
  static void Retype(XNode& node, XNode::Type type) {
    if (node.GetType() == XNode::kTypeNone) {
      node.mFlags |= type;
    } else {
      node.ResetType(type);
    }
  }

  // A value element: the node takes the type and the element's character data.
  void Fill(XNode& node, XNode::Type type) {
    Retype(node, type);
    TakeText(node);
  }

  // The element's character data goes straight to the key of a node without a type;
  // else it is gathered, which Expat may hand over in pieces (around each reference),
  // and read into the node's value at the end: a text is then allocated once.
  void TakeText(XNode& node) {
    mTextToKey = node.GetType() == XNode::kTypeNone;
    mTextNode = &node;
    ListenToText(mTextToKey ? &Reader::OnKeyText : &Reader::OnValueText);
  }

  void End(const XML_Char*) {
    StopText();
    const bool leaves = mEndsLeave.back() != 0;
    mEndsLeave.pop_back();
    if (leaves && mLevel > 0) {
      Leave();
    }
    Level& level = mLevels[mLevel];
    if (level.node && level.node->GetType() != XNode::kTypeNone) {
      level.node = nullptr;
    }
  }

  // Ends the character data of the element that took it: a key read is hashed when first
  // looked up, text gathered for a value is read into it.
  void StopText() {
    if (!mTextNode) {
      return;
    }
    if (mTextToKey) {
      mTextNode->mKeyHashKnown = false;
    } else {
      const std::string_view text = mPiece.data() ? mPiece : std::string_view(mText);
      if (!text.empty()) {
        mTextNode->AssignFromText(text);
      }
      mPiece = std::string_view();
      mText.clear();
    }
    mTextNode = nullptr;
    ListenToText(nullptr);
  }

  XML_Parser mParser;
  // One level beyond the limit, so an empty container at the deepest level is read.
  std::array<Level, XNode::kMaxDepth + 1> mLevels;
  int mLevel = 0;
  // The node taking the current element's character data (null: none), and whether into
  // its key.
  XNode* mTextNode = nullptr;
  bool mTextToKey = false;
  // A value's text: its first piece where Expat handed it, or the pieces gathered.
  std::string_view mPiece;
  std::string mText;
  // Expat's copy of the part of the document being parsed, asked for at the first text.
  const char* mInput = nullptr;
  const char* mInputEnd = nullptr;
  bool mInputKnown = false;
  // Per open element, innermost last: whether its end leaves a level (an end tag is not
  // classified again).
  // Bytes rather than bits: pushed and popped for every element.
  std::vector<uint8_t> mEndsLeave;
  XNode* mRoot = nullptr;
  std::vector<XNode*> mOrphans;
  // The block new nodes go into, held while it may take more.
  Block* mBlock = nullptr;
  bool mTooDeep = false;
  XML_CharacterDataHandler mListening = nullptr;
};

std::unique_ptr<XNode> XNode::Load(std::string_view text, const char* fileName, XNode* errorNode) {
  std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter> parser(XML_ParserCreate(nullptr));
  if (!parser) {
    return nullptr;
  }
  Reader reader(parser.get());
  XML_SetUserData(parser.get(), &reader);
  XML_SetElementHandler(parser.get(), &Reader::OnStart, &Reader::OnEnd);
  // One call for any real document; only text beyond Expat's int length needs more.
  XML_Status status = XML_STATUS_OK;
  const char* next = text.data();
  size_t left = text.size();
  do {
    const size_t piece = std::min<size_t>(left, INT_MAX);
    left -= piece;
    reader.KeepPiece();
    status = XML_Parse(parser.get(), next, int(piece), left == 0);
    next += piece;
  } while (status == XML_STATUS_OK && left != 0);
  if (status == XML_STATUS_OK) {
    return reader.TakeRoot();
  }
  const char* error = reader.TooDeep() ? kTooDeepText : XML_ErrorString(XML_GetErrorCode(parser.get()));
  const int line = int(XML_GetCurrentLineNumber(parser.get()));
  std::fprintf(stderr, "%s:%d: %s\n", fileName ? fileName : "XML Load Error", line, error);
  if (errorNode) {
    errorNode->SetString(std::string("XML Load Error \"") + error + "\" line " + std::to_string(line));
  }
  return nullptr;
}

std::unique_ptr<XNode> XNode::LoadFile(const char* path, XNode* errorNode) {
  FILE* stream = std::fopen(path, "rb");
  if (!stream) {
    return nullptr;
  }
  std::string text;
  char chunk[64 * 1024];
  size_t read = 0;
  while ((read = std::fread(chunk, 1, sizeof chunk, stream)) != 0) {
    text.append(chunk, read);
  }
  const bool failed = std::ferror(stream) != 0;
  std::fclose(stream);
  return failed ? nullptr : Load(text, path, errorNode);
}
