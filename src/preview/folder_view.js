// SPDX-License-Identifier: MIT
// Runs a folder template in a browser the way the file manager runs it. Browsers ignore the
// template's <script for=X event=Y> blocks and its ActiveX objects, so this script binds those
// blocks as event handlers and stands in for the objects the template's scripts use: the file
// list (FileList), the picture preview (Thumbnail) and the folder's icon. It also plays the
// document's sound when asked. The preview window injects it before the page's own scripts and
// calls it with the folder's data (folder_listing.h); the page's markup is left as written.
(function (data) {
  "use strict";

  var handlers = {};  // element id -> event name -> functions
  var entries = data.entries;
  var selected = entries.map(function () { return false; });
  var anchor = 0, current = -1;
  var rows = [], list = null;

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

  function escapeHtml(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;");
  }

  function fileUrl(path) {
    return "file://" + String(path).split("/").map(encodeURIComponent).join("/");
  }

  // The element style's pixel properties that the template's FixSize sets.
  ["Top", "Left", "Width", "Height"].forEach(function (side) {
    var name = side.toLowerCase();
    Object.defineProperty(CSSStyleDeclaration.prototype, "pixel" + side, {
      configurable: true,
      get: function () { return parseFloat(this[name]) || 0; },
      set: function (value) { this[name] = Number(value) + "px"; }
    });
  });

  // The file list: items, the selection, and the folder's detail columns.
  var itemEntries = new WeakMap();
  function makeItem(entry) {
    // The template writes names into the panel as HTML: a name is given as its HTML text, so that
    // a file called "<b>" shows as such and a file name can never add markup or scripts.
    var item = {Name: escapeHtml(entry.name), Path: entry.path, Size: entry.size,
                IsFolder: entry.isFolder, InvokeVerb: function () {}};
    itemEntries.set(item, entry);
    return item;
  }
  var columnTitles = ["Name", "Size", "Type", "Modified", "Attributes"];
  var folder = {
    GetDetailsOf: function (item, column) {
      var entry = item && itemEntries.get(item);
      if (!item) return columnTitles[column] || "";
      if (!entry) return "";
      switch (column) {
        case 0: return escapeHtml(entry.name);
        case 2: return escapeHtml(entry.type);
        case 3: return escapeHtml(entry.modified);
        case 4: return entry.attributes;
        default: return "";  // no size text: the template groups the byte count itself
      }
    }
  };

  function select(next) {
    var changed = next.some(function (on, i) { return on !== selected[i]; });
    selected = next;
    rows.forEach(function (row, i) { row.className = selected[i] ? "tessivane-selected" : ""; });
    if (changed) fire("FileList", "SelectionChanged");
  }

  function range(from, to) {
    var low = Math.min(from, to), high = Math.max(from, to);
    return entries.map(function (entry, i) { return i >= low && i <= high; });
  }

  function clickRow(event, index) {
    if (event.shiftKey) {
      select(range(anchor, index));
    } else if (event.ctrlKey || event.metaKey) {
      var next = selected.slice();
      next[index] = !next[index];
      anchor = index;
      select(next);
    } else {
      anchor = index;
      select(range(index, index));
    }
    current = index;
  }

  function pressKey(event) {
    if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === "a") {
      select(entries.map(function () { return true; }));
    } else if ((event.key === "ArrowDown" || event.key === "ArrowUp") && entries.length) {
      var index = Math.max(0, Math.min(entries.length - 1,
                                       current + (event.key === "ArrowDown" ? 1 : -1)));
      if (!event.shiftKey) anchor = index;
      current = index;
      select(range(anchor, index));
      rows[index].scrollIntoView({block: "nearest"});
    } else {
      return;
    }
    event.preventDefault();
  }

  function sizeText(entry) {
    if (entry.isFolder) return "";
    return Math.ceil(entry.size / 1024).toLocaleString("en-US") + " KB";
  }

  function cell(row, text) {
    var td = row.insertCell();
    td.textContent = text;
    return td;
  }

  function setUpFileList(object) {
    window.FileList = object;  // the name is the browser's FileList constructor otherwise
    object.Folder = folder;
    object.SelectedItems = function () {
      var items = entries.filter(function (entry, i) { return selected[i]; }).map(makeItem);
      return {Count: items.length, Item: function (i) { return items[i] || null; }};
    };
    var style = document.createElement("style");
    style.textContent =
        "#tessivane-list {height: 100%; overflow: auto; background: Window; color: WindowText;" +
        " font: 12px sans-serif; outline: none; border-left: 1px solid ButtonShadow;" +
        " box-sizing: border-box; user-select: none; cursor: default}" +
        "#tessivane-list table {border-collapse: collapse; min-width: 100%}" +
        "#tessivane-list th {position: sticky; top: 0; background: ButtonFace; font-weight: normal;" +
        " text-align: left; border-right: 1px solid ButtonShadow;" +
        " border-bottom: 1px solid ButtonShadow}" +
        "#tessivane-list td, #tessivane-list th {padding: 1px 6px; white-space: nowrap}" +
        "#tessivane-list td:nth-child(2) {text-align: right}" +
        "#tessivane-list img {width: 16px; height: 16px; vertical-align: middle;" +
        " margin-right: 4px}" +
        "#tessivane-list tr.tessivane-selected td {background: Highlight; color: HighlightText}";
    document.head.appendChild(style);
    list = document.createElement("div");
    list.id = "tessivane-list";
    list.tabIndex = 0;
    var table = document.createElement("table");
    var header = table.createTHead().insertRow();
    ["Name", "Size", "Type", "Modified"].forEach(function (title) {
      header.appendChild(document.createElement("th")).textContent = title;
    });
    var body = table.createTBody();
    entries.forEach(function (entry, index) {
      var row = body.insertRow();
      var name = cell(row, entry.name);
      var icon = document.createElement("img");
      icon.src = data.icons[entry.icon];
      icon.alt = "";
      name.insertBefore(icon, name.firstChild);
      cell(row, sizeText(entry));
      cell(row, entry.type);
      cell(row, entry.modified);
      row.addEventListener("mousedown", function (event) {
        if (event.button !== 0) return;
        clickRow(event, index);
        event.stopPropagation();
      });
      rows.push(row);
    });
    list.appendChild(table);
    list.addEventListener("mousedown", function (event) {
      if (event.button === 0 && !event.ctrlKey && !event.shiftKey) {
        select(entries.map(function () { return false; }));
      }
    });
    list.addEventListener("keydown", pressKey);
    list.addEventListener("dblclick", function (event) { event.preventDefault(); });
    object.textContent = "";
    object.appendChild(list);
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
      var picture = new Image();
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

  // The document's sound, played once, a number of times or forever (loop 0).
  var audio = null;
  function playSound(play) {
    data.playSound = play;
    if (audio) {
      audio.pause();
      audio = null;
    }
    if (!play || !data.sound) return;
    var plays = data.sound.loop;
    audio = document.createElement("audio");
    audio.src = data.sound.url;
    audio.loop = plays === 0;
    var playing = audio;
    audio.addEventListener("ended", function () {
      if (playing === audio && --plays > 0) playing.play().catch(function () {});
    });
    audio.play().catch(function () {});
  }

  function selectedNames() {
    return entries.filter(function (entry, i) { return selected[i]; })
        .map(function (entry) { return entry.name; });
  }

  function panel() {
    return document.getElementById("Panel");
  }

  // What the preview window keeps across a new document, and puts back once the page is loaded.
  window.tessivane = {
    state: function () {
      return {selected: selectedNames(), current: current >= 0 ? entries[current].name : "",
              listScroll: list ? list.scrollTop : 0, panelScroll: panel() ? panel().scrollTop : 0};
    },
    restore: function () {
      var state = data.restore || {};
      if (state.selected) {
        var names = state.selected;
        selected = entries.map(function (entry) { return names.indexOf(entry.name) !== -1; });
        current = entries.findIndex(function (entry) { return entry.name === state.current; });
        anchor = Math.max(current, 0);
        select(selected.slice());
        fire("FileList", "SelectionChanged");
      }
      if (list) list.scrollTop = state.listScroll || 0;
      if (panel()) panel().scrollTop = state.panelScroll || 0;
      if (data.playSound) playSound(true);
      return true;
    },
    playSound: playSound
  };

  document.addEventListener("DOMContentLoaded", function () {
    document.querySelectorAll("script[for][event]").forEach(function (script) {
      var id = script.getAttribute("for").trim();
      var event = script.getAttribute("event").trim().replace(/\(.*$/, "");
      try {
        var handler = new Function(script.text);
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
        icon.src = data.folder.icon;
        icon.width = icon.height = 32;
        icon.alt = "";
        object.appendChild(icon);
      }
    });
  });
})
