// A Go host of Varnet.dll, built without cgo and without a manifest: the
// process runs in the system's ANSI code page (1252 in the test prefix),
// and loads the DLL with syscall.NewLazyDLL. Through the C interface it
// chooses, makes and deletes folders named in Japanese, Greek and emoji,
// driving the real dialog from a second goroutine as a user would, and
// compares the test drive before and after. Expand Recursive and renaming
// run on such names too. Prints one line per failure;
// exits with 1 when there is any.
package main

import (
	"fmt"
	"io/fs"
	"os"
	"path/filepath"
	"regexp"
	"runtime"
	"sort"
	"strings"
	"syscall"
	"time"
	"unsafe"
)

var (
	varnet     = syscall.NewLazyDLL("Varnet.dll")
	pickFolder = varnet.NewProc("VarnetPickFolderW")
	freePath   = varnet.NewProc("VarnetFreePath")
	getError   = varnet.NewProc("VarnetGetErrorW")

	user32            = syscall.NewLazyDLL("user32.dll")
	enumThreadWindows = user32.NewProc("EnumThreadWindows")
	isWindowVisible   = user32.NewProc("IsWindowVisible")
	getClassName      = user32.NewProc("GetClassNameW")
	getDlgItem        = user32.NewProc("GetDlgItem")
	getWindow         = user32.NewProc("GetWindow")
	sendMessage       = user32.NewProc("SendMessageW")
	postMessage       = user32.NewProc("PostMessageW")
	getThreadID       = syscall.NewLazyDLL("kernel32.dll").NewProc("GetCurrentThreadId")
)

const (
	varnetOK, varnetCancel = 1, 2

	idcFolderTree, idcExpand                      = 1003, 1008
	idcMakeFolder, idcDeleteFolder                = 1015, 1017
	wmSetText, wmCommand                          = 0x000C, 0x0111
	idOK, idCancel, idYes                         = 1, 2, 6
	tvmGetNextItem, tvmSelectItem                 = 0x1100 + 10, 0x1100 + 11
	tvmGetEditControl, tvmEndEditLabelNow         = 0x1100 + 15, 0x1100 + 22
	tvmGetItemW, tvmEditLabelW                    = 0x1100 + 62, 0x1100 + 65
	tvgnNext, tvgnChild, tvgnCaret                = 1, 4, 9
	tvifText, tvifHandle                          = 0x0001, 0x0010
	gwOwner                                       = 4
)

var failures int

func fail(format string, args ...interface{}) {
	fmt.Printf("FAILED "+format+"\n", args...)
	failures++
}

func send(hwnd, msg, wparam, lparam uintptr) uintptr {
	r, _, _ := sendMessage.Call(hwnd, msg, wparam, lparam)
	return r
}

func ptr(s string) uintptr {
	p, _ := syscall.UTF16PtrFromString(s)
	return uintptr(unsafe.Pointer(p))
}

// The visible dialog windows of a thread: class #32770, with the folder
// tree (the folder dialog) or without it (a message box).
var found []uintptr
var collect = syscall.NewCallback(func(hwnd, _ uintptr) uintptr {
	var class [16]uint16
	if v, _, _ := isWindowVisible.Call(hwnd); v != 0 {
		getClassName.Call(hwnd, uintptr(unsafe.Pointer(&class[0])), 16)
		if syscall.UTF16ToString(class[:]) == "#32770" {
			found = append(found, hwnd)
		}
	}
	return 1
})

// Waits for a visible dialog of the thread that pred accepts.
func waitWindow(thread uintptr, pred func(uintptr) bool) uintptr {
	for i := 0; i < 500; i++ {
		found = nil
		enumThreadWindows.Call(thread, collect, 0)
		for _, h := range found {
			if pred(h) {
				return h
			}
		}
		time.Sleep(20 * time.Millisecond)
	}
	return 0
}

func tree(dialog uintptr) uintptr {
	h, _, _ := getDlgItem.Call(dialog, idcFolderTree)
	return h
}

type tvItem struct {
	mask                          uint32
	item                          uintptr
	state, stateMask              uint32
	text                          *uint16
	textMax, image, selImage, kid int32
	param                         uintptr
}

func label(tree, item uintptr) string {
	var buf [520]uint16
	tv := tvItem{mask: tvifText | tvifHandle, item: item, text: &buf[0], textMax: int32(len(buf))}
	send(tree, tvmGetItemW, 0, uintptr(unsafe.Pointer(&tv)))
	return syscall.UTF16ToString(buf[:])
}

func child(tree, parent uintptr, name string) uintptr {
	for h := send(tree, tvmGetNextItem, tvgnChild, parent); h != 0; h = send(tree, tvmGetNextItem, tvgnNext, h) {
		if label(tree, h) == name {
			return h
		}
	}
	return 0
}

func click(dialog, id uintptr) { postMessage.Call(dialog, wmCommand, id, 0) }

// Types name into the label editor of the tree t, which opens, and ends
// the edit as Enter does.
func typeLabel(t uintptr, name string) {
	var editor uintptr
	for i := 0; i < 250 && editor == 0; i++ {
		time.Sleep(20 * time.Millisecond)
		editor = send(t, tvmGetEditControl, 0, 0)
	}
	send(editor, wmSetText, 0, ptr(name))
	send(t, tvmEndEditLabelNow, 0, 0)
}

// Waits for the node below parent that the labels names lead to, up to a
// minute (a loaded machine may take long to scan). Each try looks the
// whole way up afresh: a rebuild replaces the nodes on the way, and a node
// found before it (the first level, listed when the dialog opened) goes.
func waitPath(t, parent uintptr, names ...string) uintptr {
	for i := 0; i < 3000; i++ {
		h := parent
		for _, name := range names {
			if h != 0 {
				h = child(t, h, name)
			}
		}
		if h != 0 {
			return h
		}
		time.Sleep(20 * time.Millisecond)
	}
	return 0
}

// pick runs the dialog on this (locked) thread on initial while script
// drives it from another goroutine; the result and the path.
func pick(initial string, script func(thread, dialog uintptr)) (int, string) {
	runtime.LockOSThread()
	defer runtime.UnlockOSThread()
	thread, _, _ := getThreadID.Call()
	done := make(chan bool)
	go func() {
		dialog := waitWindow(thread, func(h uintptr) bool { return tree(h) != 0 })
		if dialog == 0 {
			fail("%s: no dialog", initial)
		} else {
			script(thread, dialog)
		}
		done <- true
	}()
	var path *uint16
	r, _, _ := pickFolder.Call(0, ptr(initial), uintptr(unsafe.Pointer(&path)))
	<-done
	result := int(int32(r))
	if path == nil {
		if result == -1 {
			e, _, _ := getError.Call()
			fail("%s: %s", initial, syscall.UTF16ToString((*[1 << 16]uint16)(unsafe.Pointer(e))[:]))
		}
		return result, ""
	}
	chosen := syscall.UTF16ToString((*[1 << 16]uint16)(unsafe.Pointer(path))[:])
	freePath.Call(uintptr(unsafe.Pointer(path)))
	return result, chosen
}

// Every entry of the drive, but the folders of other test programs that
// run beside this one (D:\<program>-<process id>).
func snapshot(root, own string) []string {
	other := regexp.MustCompile(`^[^\\]+-[0-9]+$`)
	var entries []string
	filepath.WalkDir(root, func(path string, d fs.DirEntry, err error) error {
		rel := strings.TrimPrefix(path, root)
		if d != nil && d.IsDir() && other.MatchString(rel) && rel != own {
			return filepath.SkipDir
		}
		entries = append(entries, rel)
		return nil
	})
	sort.Strings(entries)
	return entries
}

func main() {
	go func() {
		time.Sleep(4 * time.Minute)
		fmt.Println("FAILED: the test did not end in 4 minutes")
		os.Exit(99)
	}()
	if os.Getenv("VARNET_BUILD_DIR") == "" {
		fmt.Println("gohost runs only in its build's test prefix (VARNET_BUILD_DIR)")
		os.Exit(1)
	}
	own := fmt.Sprintf("go-%d", os.Getpid())
	base := `D:\` + own
	photos := base + `\日本\📁 photos`
	made := "Ελληνικά Ω ✓ 🎉"
	if err := os.MkdirAll(photos, 0755); err != nil {
		fail("making %s: %v", photos, err)
	}
	before := snapshot(`D:\`, own)

	// Choose: the folder it opens on comes back exactly.
	if r, path := pick(photos, func(_, dialog uintptr) { click(dialog, idOK) }); r != varnetOK || path != photos {
		fail("choose: %d %q, expected %q", r, path, photos)
	}

	// Expand Recursive (its scan runs on a thread of its own), then the
	// deepest folder found chosen.
	r, path := pick(base, func(_, dialog uintptr) {
		t := tree(dialog)
		click(dialog, idcExpand)
		node := waitPath(t, send(t, tvmGetNextItem, tvgnCaret, 0), "日本", "📁 photos")
		if node == 0 {
			fail("expand: no node %q", photos)
		}
		send(t, tvmSelectItem, tvgnCaret, node)
		click(dialog, idOK)
	})
	if r != varnetOK || path != photos {
		fail("expand: %d %q, expected %q", r, path, photos)
	}

	// Make: a folder with a typed name below the one it opens on, then
	// chosen.
	r, path = pick(base, func(_, dialog uintptr) {
		t := tree(dialog)
		selected := send(t, tvmGetNextItem, tvgnCaret, 0)
		click(dialog, idcMakeFolder)
		typeLabel(t, made)
		node := child(t, selected, made)
		if node == 0 {
			fail("make: no node %q", made)
		}
		send(t, tvmSelectItem, tvgnCaret, node)
		click(dialog, idOK)
	})
	if r != varnetOK || path != base+`\`+made {
		fail("make: %d %q, expected %q", r, path, base+`\`+made)
	}
	if fi, err := os.Stat(base + `\` + made); err != nil || !fi.IsDir() {
		fail("make: %q is not on the disk: %v", made, err)
	}

	// Rename the folder it opens on, then delete it after the question;
	// then Cancel.
	renamed := "Ελληνικά 2 🌍"
	r, _ = pick(base+`\`+made, func(thread, dialog uintptr) {
		t := tree(dialog)
		send(t, tvmEditLabelW, 0, send(t, tvmGetNextItem, tvgnCaret, 0))
		typeLabel(t, renamed)
		if _, err := os.Stat(base + `\` + renamed); err != nil {
			fail("rename: %q is not on the disk: %v", renamed, err)
		}
		made = renamed
		click(dialog, idcDeleteFolder)
		box := waitWindow(thread, func(h uintptr) bool {
			owner, _, _ := getWindow.Call(h, gwOwner)
			return owner == dialog && tree(h) == 0
		})
		if box == 0 {
			fail("delete: no question")
		}
		postMessage.Call(box, wmCommand, idYes, 0)
		for i := 0; i < 250; i++ {
			if _, err := os.Stat(base + `\` + made); err != nil {
				break
			}
			time.Sleep(20 * time.Millisecond)
		}
		click(dialog, idCancel)
	})
	if r != varnetCancel {
		fail("delete: %d, expected Cancel", r)
	}
	if _, err := os.Stat(base + `\` + made); err == nil {
		fail("delete: %q is still there", made)
	}

	after := snapshot(`D:\`, own)
	if strings.Join(before, "\n") != strings.Join(after, "\n") {
		fail("the drive changed:\nbefore %q\nafter  %q", before, after)
	}
	os.RemoveAll(base)
	fmt.Printf("gohost: %d failures\n", failures)
	if failures > 0 {
		os.Exit(1)
	}
}
