// SPDX-License-Identifier: MIT
// Runs a folder template in a browser the way the file manager runs it. The preview's page
// (preview_page.h) injects this script into its shell page, which works in two frames:
// - The shell, the top frame, loaded once: it holds the folder's entries, which arrive in
//   batches once per folder however many documents follow, the selection, the scroll positions
//   and the sound, and shows each new document in its one frame (tessivane-document).
// - The document's frame, which the shell sets up before it writes each document into it.
//   Browsers ignore the template's <script for=X event=Y> blocks and its
//   ActiveX objects, so here this script binds those blocks as event handlers and stands in for
//   the objects the template's scripts use: the file list (FileList), which draws only the rows
//   in view, the picture preview (Thumbnail) and the folder's icon. The page's markup is left as
//   written. The list takes the look the folder's Desktop.ini gives it: a picture behind the
//   rows, and a colour for the names.
// The window speaks to the shell only (window.tessivane); the shell tells the window that a
// document is shown, its list painted with the folder's first rows (or the folder's listing
// over), by setting its title to "shown N".
(function () {
  "use strict";

  var kRowHeight = 18;
  // The words the list and the folder's columns show, in the window's language: the window puts
  // its own in place of this object (the line must stay as it is).
  var labels = {"files": "Files", "columns": ["Name", "Size", "Type", "Modified", "Attributes"]};

  function escapeHtml(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;");
  }

  function fileUrl(path) {
    return "file://" + String(path).split("/").map(encodeURIComponent).join("/");
  }

  // ---- The shell -------------------------------------------------------------------------------

  function shell() {
    var folder = {name: "", path: "", icon: ""};
    var entries = [];         // [name, size, isFolder, type key, modified, attributes]
    var types = {};           // type key -> [description, icon data URL]
    var listing = null;       // the entries of a listing still arriving for the folder shown
    var selected = new Uint8Array(0);
    var state = {anchor: 0, current: -1, listScroll: 0, panelScroll: 0};
    var view = null;          // the document frame's list, to draw again when entries change
    var sound = null, playing = false, audio = null, shown = 0;
    var painted = 0;          // the newest document painted, which waits for rows to be shown
    var look = {picture: "", colour: ""};

    function names(indexes) {
      var set = {};
      indexes.forEach(function (i) { set[entries[i][0]] = true; });
      return set;
    }

    function selectedIndexes() {
      var out = [];
      for (var i = 0; i < selected.length; ++i) if (selected[i]) out.push(i);
      return out;
    }

    // Takes a new list of entries, keeping the selection and the current entry by name.
    function setEntries(next) {
      var keep = names(selectedIndexes());
      var currentName = state.current >= 0 && entries[state.current] ? entries[state.current][0]
                                                                     : null;
      entries = next;
      selected = new Uint8Array(entries.length);
      state.current = -1;
      for (var i = 0; i < entries.length; ++i) {
        if (keep[entries[i][0]]) selected[i] = 1;
        if (entries[i][0] === currentName) state.current = i;
      }
      state.anchor = Math.max(0, Math.min(state.anchor, entries.length - 1));
      if (view) view.entriesChanged();
    }

    function play(on) {
      playing = on;
      if (audio) {
        audio.pause();
        audio = null;
      }
      if (!on || !sound) return;
      var plays = sound.loop;
      var mine = audio = document.createElement("audio");
      audio.src = sound.url;
      audio.loop = plays === 0;
      audio.addEventListener("ended", function () {
        if (mine === audio && --plays > 0) mine.play().catch(function () {});
      });
      audio.play().catch(function () {});
    }

    // Runs after the next frame is painted.
    function afterPaint(frameWindow, then) {
      frameWindow.requestAnimationFrame(function () { frameWindow.setTimeout(then); });
    }

    function report(number) {
      if (number <= shown) return;
      shown = number;
      document.title = "shown " + number;
    }

    // Reports the newest document painted as shown, after the next frame, once the list holds
    // the folder's first rows or the folder has no more to come.
    function reportShown(frameWindow) {
      if (!painted || painted <= shown || (!entries.length && listing)) return;
      var number = painted;
      afterPaint(frameWindow || window, function () { report(number); });
    }

    // A listing stuck in the file system holds up the report no longer than this.
    var kRowsWaitMs = 3000;

    function frameWindow() {
      var frame = document.getElementById("tessivane-document");
      return frame && frame.contentWindow;
    }

    window.tessivane = {
      // A new folder, or the same one listed again: the old entries stay until the new are in.
      beginListing: function (about, again) {
        folder = about;
        listing = [];
        if (!again) {
          selected = new Uint8Array(0);
          // Changed in place: the document's frame holds on to it.
          state.anchor = 0;
          state.current = -1;
          state.listScroll = 0;
          state.panelScroll = 0;
          entries = [];
          if (view) view.entriesChanged();
        }
        return true;
      },
      addEntries: function (batch, newTypes) {
        Object.keys(newTypes).forEach(function (key) { types[key] = newTypes[key]; });
        if (!listing) return true;
        Array.prototype.push.apply(listing, batch);
        // The first rows of a new folder show while the rest arrive.
        if (!entries.length || entries === listing) {
          entries = listing;
          if (selected.length < entries.length) {
            var grown = new Uint8Array(entries.length);
            grown.set(selected);
            selected = grown;
          }
          if (view) view.entriesChanged();
          reportShown(frameWindow());
        }
        return true;
      },
      endListing: function () {
        if (listing && listing !== entries) setEntries(listing);
        else if (view) view.entriesChanged();
        listing = null;
        reportShown(frameWindow());
        return true;
      },
      showDocument: function (html, number, newSound, play) {
        sound = newSound;
        playing = play;
        var frame = document.getElementById("tessivane-document");
        var next = frame.cloneNode(false);
        view = null;
        frame.replaceWith(next);
        // Written into the frame rather than loaded, so that the frame shares this page's
        // origin and the page is read in the same mode as a file: one without a doctype in
        // quirks mode, as the file manager reads it.
        var child = next.contentWindow, written = child.document;
        written.open();
        documentView(window.tessivane, child);
        child.addEventListener("load", function () {
          // The list is painted right after the next animation frame.
          afterPaint(child, function () {
            painted = number;
            if (entries.length || !listing) report(number);
            else child.setTimeout(function () { report(number); }, kRowsWaitMs);
          });
        });
        written.write(html);
        written.close();
        return true;
      },
      playSound: function (on) {
        play(on);
        return true;
      },
      // The folder's list picture (a file: URL the window found, "" for none) and name colour
      // ("#RRGGBB", "" for the list's own).
      setLook: function (next) {
        look = next;
        if (view) view.lookChanged();
        return true;
      },
      // For the document frame.
      folder: function () { return folder; },
      entries: function () { return entries; },
      types: function () { return types; },
      selected: function () { return selected; },
      selectedIndexes: selectedIndexes,
      setSelected: function (next) { selected = next; },
      state: function () { return state; },
      look: function () { return look; },
      attach: function (documentView) {
        view = documentView;
        play(playing);
      },
      shown: function () { return shown; }
    };
  }

  // ---- The document's frame --------------------------------------------------------------------

  // Sets up a document's frame, given its window, before the document is written into it.
  function documentView(shell, window) {
    var document = window.document;
    var handlers = {};  // element id -> event name -> functions
    var list = null, body = null, slice = null, lookStyle = null;
    var state = shell.state();

    function entries() { return shell.entries(); }

    function fire(id, event) {
      var target = document.getElementById(id);
      ((handlers[id] || {})[event] || []).forEach(function (handler) {
        try {
          handler.call(target);
        } catch (error) {
          console.error(id + " " + event + ": " + error);
        }
      });
    }

    // The element style's pixel properties that the template's FixSize sets.
    ["Top", "Left", "Width", "Height"].forEach(function (side) {
      var name = side.toLowerCase();
      Object.defineProperty(window.CSSStyleDeclaration.prototype, "pixel" + side, {
        configurable: true,
        get: function () { return parseFloat(this[name]) || 0; },
        set: function (value) { this[name] = Number(value) + "px"; }
      });
    });


    // The file list: items, the selection, and the folder's detail columns.
    function pathOf(entry) {
      var folder = shell.folder().path;
      return folder.replace(/\/$/, "") + "/" + entry[0];
    }

    var itemEntries = new WeakMap();
    function makeItem(entry) {
      // The template writes names into the panel as HTML: a name is given as its HTML text, so
      // that a file called "<b>" shows as such and a file name can never add markup or scripts.
      var item = {Name: escapeHtml(entry[0]), Path: pathOf(entry), Size: entry[1],
                  IsFolder: !!entry[2], InvokeVerb: function () {}};
      itemEntries.set(item, entry);
      return item;
    }
    var columnTitles = labels.columns;
    var folderObject = {
      GetDetailsOf: function (item, column) {
        var entry = item && itemEntries.get(item);
        if (!item) return columnTitles[column] || "";
        if (!entry) return "";
        switch (column) {
          case 0: return escapeHtml(entry[0]);
          case 2: return escapeHtml(typeOf(entry)[0]);
          case 3: return escapeHtml(entry[4]);
          case 4: return entry[5];
          default: return "";  // no size text: the template groups the byte count itself
        }
      }
    };

    function typeOf(entry) {
      return shell.types()[entry[3]] || ["", ""];
    }

    function select(next) {
      var old = shell.selected(), changed = old.length !== next.length;
      for (var i = 0; !changed && i < next.length; ++i) changed = old[i] !== next[i];
      shell.setSelected(next);
      draw();
      if (changed) fire("FileList", "SelectionChanged");
    }

    function range(from, to) {
      var next = new Uint8Array(entries().length);
      next.fill(1, Math.min(from, to), Math.max(from, to) + 1);
      return next;
    }

    function clickRow(event, index) {
      if (event.shiftKey) {
        select(range(state.anchor, index));
      } else if (event.ctrlKey || event.metaKey) {
        var next = shell.selected().slice();
        next[index] = next[index] ? 0 : 1;
        state.anchor = index;
        select(next);
      } else {
        state.anchor = index;
        select(range(index, index));
      }
      state.current = index;
    }

    function scrollToRow(index) {
      var top = index * kRowHeight, bottom = top + kRowHeight;
      if (top < body.scrollTop) body.scrollTop = top;
      else if (bottom > body.scrollTop + body.clientHeight)
        body.scrollTop = bottom - body.clientHeight;
    }

    function pressKey(event) {
      var count = entries().length;
      if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === "a") {
        var all = new Uint8Array(count);
        all.fill(1);
        select(all);
      } else if ((event.key === "ArrowDown" || event.key === "ArrowUp") && count) {
        var index = Math.max(0, Math.min(count - 1,
                                         state.current + (event.key === "ArrowDown" ? 1 : -1)));
        if (!event.shiftKey) state.anchor = index;
        state.current = index;
        select(range(state.anchor, index));
        scrollToRow(index);
      } else {
        return;
      }
      event.preventDefault();
    }

    function sizeText(entry) {
      if (entry[2]) return "";
      return Math.ceil(entry[1] / 1024).toLocaleString("en-US") + " KB";
    }

    // Draws the rows in view, and a few either side, into the slice that the spacer positions.
    function draw() {
      if (!body) return;
      var all = entries(), selected = shell.selected();
      body.firstChild.style.height = all.length * kRowHeight + "px";
      var first = Math.max(0, Math.floor(body.scrollTop / kRowHeight) - 5);
      var last = Math.min(all.length, first + Math.ceil(body.clientHeight / kRowHeight) + 10);
      slice.style.top = first * kRowHeight + "px";
      var rows = slice.tBodies[0];
      while (rows.rows.length > last - first) rows.deleteRow(-1);
      while (rows.rows.length < last - first) {
        var row = rows.insertRow();
        row.setAttribute("role", "row");
        row.insertCell().appendChild(document.createElement("img")).alt = "";
        row.cells[0].appendChild(document.createTextNode(""));
        row.insertCell();
        row.insertCell();
        row.insertCell();
        for (var c = 0; c < 4; ++c) row.cells[c].setAttribute("role", "gridcell");
      }
      // A screen reader learns the whole list's length, each drawn row's place in it, and which
      // row the arrow keys are on.
      list.setAttribute("aria-rowcount", all.length + 1);
      list.removeAttribute("aria-activedescendant");
      for (var i = first; i < last; ++i) {
        var entry = all[i], cells = rows.rows[i - first].cells, type = typeOf(entry);
        var drawn = rows.rows[i - first];
        drawn.dataset.index = i;
        drawn.className = selected[i] ? "tessivane-selected" : "";
        drawn.id = "tessivane-row-" + i;
        drawn.setAttribute("aria-rowindex", i + 2);
        drawn.setAttribute("aria-selected", selected[i] ? "true" : "false");
        if (i === state.current) list.setAttribute("aria-activedescendant", drawn.id);
        if (cells[0].firstChild.src !== type[1]) cells[0].firstChild.src = type[1];
        cells[0].lastChild.data = entry[0];
        cells[0].title = entry[0];
        cells[1].textContent = sizeText(entry);
        cells[2].textContent = type[0];
        cells[3].textContent = entry[4];
      }
    }

    // The folder's list picture behind the rows, and its colour for the names of the rows not
    // selected; only a file: URL and a "#RRGGBB" colour are taken.
    function applyLook() {
      if (!body) return;
      var look = shell.look();
      var picture = /^file:\/\/\/[^"\\\s]*$/.test(look.picture) ? look.picture : "";
      var colour = /^#[0-9A-Fa-f]{6}$/.test(look.colour) ? look.colour : "";
      body.style.backgroundImage = picture ? 'url("' + picture + '")' : "";
      lookStyle.textContent = colour ? "#tessivane-list tr:not(.tessivane-selected) td:first-child" +
                                       " {color: " + colour + "}"
                                     : "";
    }

    function columns() {
      var group = document.createElement("colgroup");
      ["40%", "10%", "22%", "28%"].forEach(function (width) {
        group.appendChild(document.createElement("col")).style.width = width;
      });
      return group;
    }

    function setUpFileList(object) {
      window.FileList = object;  // the name is the browser's FileList constructor otherwise
      object.Folder = folderObject;
      object.SelectedItems = function () {
        var indexes = shell.selectedIndexes(), all = entries();
        return {Count: indexes.length,
                Item: function (i) { return i >= 0 && i < indexes.length ? makeItem(all[indexes[i]])
                                                                          : null; }};
      };
      var style = document.createElement("style");
      style.textContent =
          // The list fills the object, whose own content would otherwise have no height.
          "#tessivane-list {position: absolute; inset: 0; display: flex; flex-direction: column;" +
          " background: Window; color: WindowText; font: 12px sans-serif; outline: none;" +
          " border-left: 1px solid ButtonShadow; box-sizing: border-box; user-select: none;" +
          " cursor: default}" +
          "#tessivane-list table {border-collapse: collapse; width: 100%; table-layout: fixed;" +
          " font: inherit}" +
          "#tessivane-list th {background: ButtonFace; font-weight: normal; text-align: left;" +
          " border-right: 1px solid ButtonShadow; border-bottom: 1px solid ButtonShadow}" +
          "#tessivane-list td, #tessivane-list th {padding: 0 6px; height: " + kRowHeight +
          "px; box-sizing: border-box; white-space: nowrap; overflow: hidden;" +
          " text-overflow: ellipsis}" +
          "#tessivane-list td:nth-child(2) {text-align: right}" +
          "#tessivane-rows {flex: 1; overflow: auto; position: relative}" +
          "#tessivane-rows table {position: absolute; left: 0}" +
          "#tessivane-list img {width: 16px; height: 16px; vertical-align: middle;" +
          " margin-right: 4px}" +
          "#tessivane-list tr.tessivane-selected td {background: Highlight; color: HighlightText}";
      document.head.appendChild(style);
      lookStyle = document.head.appendChild(document.createElement("style"));
      list = document.createElement("div");
      list.id = "tessivane-list";
      list.tabIndex = 0;
      list.setAttribute("role", "grid");
      list.setAttribute("aria-multiselectable", "true");
      list.setAttribute("aria-label", labels.files);
      var header = document.createElement("table");
      header.setAttribute("role", "presentation");
      header.appendChild(columns());
      var titles = header.createTHead().insertRow();
      titles.setAttribute("role", "row");
      titles.setAttribute("aria-rowindex", 1);
      labels.columns.slice(0, 4).forEach(function (title) {
        var cell = titles.appendChild(document.createElement("th"));
        cell.textContent = title;
        cell.setAttribute("role", "columnheader");
      });
      body = document.createElement("div");
      body.id = "tessivane-rows";
      body.appendChild(document.createElement("div"));  // as tall as every row together
      slice = document.createElement("table");
      slice.setAttribute("role", "presentation");
      slice.appendChild(columns());
      slice.createTBody().setAttribute("role", "rowgroup");
      body.appendChild(slice);
      list.appendChild(header);
      list.appendChild(body);
      body.addEventListener("scroll", function () {
        state.listScroll = body.scrollTop;
        draw();
      });
      list.addEventListener("mousedown", function (event) {
        if (event.button !== 0) return;
        var row = event.target.closest && event.target.closest("#tessivane-rows tr");
        if (row) clickRow(event, Number(row.dataset.index));
        else if (!event.ctrlKey && !event.shiftKey && body.contains(event.target))
          select(new Uint8Array(entries().length));
      });
      list.addEventListener("keydown", pressKey);
      list.addEventListener("dblclick", function (event) { event.preventDefault(); });
      new window.ResizeObserver(function () { window.requestAnimationFrame(draw); }).observe(body);
      object.textContent = "";
      object.appendChild(list);
      applyLook();
    }

    // The picture preview of the selected file.
    function setUpThumbnail(object) {
      var have = false, shown = 0;
      object.haveThumbnail = function () { return have; };
      object.displayFile = function (path) {
        var mine = ++shown;
        have = false;
        object.textContent = "";
        if (!/\.(gif|jpe?g|bmp|png)$/i.test(String(path))) return false;
        var picture = new window.Image();
        picture.onload = function () {
          if (mine !== shown) return;
          var scale = Math.min(1, 160 / picture.naturalWidth, 160 / picture.naturalHeight);
          picture.width = Math.max(1, Math.round(picture.naturalWidth * scale));
          picture.height = Math.max(1, Math.round(picture.naturalHeight * scale));
          object.appendChild(picture);
          have = true;
          fire("Thumbnail", "OnThumbnailReady");
        };
        picture.onerror = function () {
          if (mine === shown) fire("Thumbnail", "OnThumbnailReady");
        };
        picture.src = fileUrl(path);
        return true;
      };
    }


    function panel() {
      return document.getElementById("Panel");
    }

    shell.attach({
      entriesChanged: function () {
        draw();
        fire("FileList", "SelectionChanged");
      },
      lookChanged: applyLook
    });

    document.addEventListener("DOMContentLoaded", function () {
      document.querySelectorAll("script[for][event]").forEach(function (script) {
        var id = script.getAttribute("for").trim();
        var event = script.getAttribute("event").trim().replace(/\(.*$/, "");
        try {
          var handler = new window.Function(script.text);
          var byEvent = handlers[id] = handlers[id] || {};
          (byEvent[event] = byEvent[event] || []).push(handler);
        } catch (error) {
          console.error(id + " " + event + ": " + error);
        }
      });
      // The file manager's parser keeps no whitespace-only content, and the template compares
      // such an element's innerHTML with "".
      document.querySelectorAll("body *").forEach(function (element) {
        var only = element.childNodes.length === 1 && element.firstChild;
        if (only && only.nodeType === Node.TEXT_NODE && !only.data.trim()) element.textContent = "";
      });
      document.querySelectorAll("object[classid]").forEach(function (object) {
        var id = object.getAttribute("classid").toUpperCase();
        if (id.indexOf("1820FED0-473E-11D0-A96C-00C04FD705A2") !== -1) {
          setUpFileList(object);
        } else if (id.indexOf("1D2B4F40-1F10-11D1-9E88-00C04FDCAB92") !== -1) {
          setUpThumbnail(object);
        } else if (id.indexOf("E5DF9D10-3B52-11D1-83E8-00A0C90DC849") !== -1) {
          var icon = document.createElement("img");
          icon.src = shell.folder().icon;
          icon.width = icon.height = 32;
          icon.alt = "";
          object.appendChild(icon);
        }
      });
    });

    // The kept selection and scroll positions, back once the template's own scripts have run.
    window.addEventListener("load", function () {
      window.setTimeout(restore);  // after the template's own load handlers
    });
    function restore() {
      if (body) {
        body.scrollTop = state.listScroll;
        draw();
      }
      if (panel()) {
        panel().scrollTop = state.panelScroll;
        panel().addEventListener("scroll", function () { state.panelScroll = panel().scrollTop; });
      }
      if (shell.selectedIndexes().length) fire("FileList", "SelectionChanged");
    }
  }

  if (window.top === window) shell();
})();
