#!/usr/bin/env node
// SPDX-License-Identifier: MIT
// Checks the JavaScript inside the built-in Web View template.
//
//   node template_scripts_check.js path/to/template.htt
//
// Every <script> block must compile, and the page's functions and event scripts are run against
// a small fake of the shell's page objects (Panel, FileList, Thumbnail and so on) to check what
// they do. Exits 0 when every check passes and 1, listing the failures, otherwise.
"use strict";

const fs = require("fs");
const vm = require("vm");

const failures = [];
let passed = 0;

function check(name, condition, detail) {
    if (condition) {
        passed++;
    } else {
        failures.push(detail === undefined ? name : `${name}: ${detail}`);
    }
}

function checkEqual(name, actual, expected) {
    check(name, actual === expected,
          `expected ${JSON.stringify(expected)}, got ${JSON.stringify(actual)}`);
}

function checkContains(name, text, part) {
    check(name, typeof text === "string" && text.indexOf(part) !== -1,
          `expected to find ${JSON.stringify(part)} in ${JSON.stringify(text)}`);
}

function checkLacks(name, text, part) {
    check(name, typeof text === "string" && text.indexOf(part) === -1,
          `did not expect ${JSON.stringify(part)} in ${JSON.stringify(text)}`);
}

// Runs one group of checks; an exception inside it counts as a failure of the group.
function group(name, body) {
    try {
        body();
    } catch (error) {
        failures.push(`${name}: threw ${error && error.stack ? error.stack : error}`);
    }
}

function finish() {
    if (failures.length > 0) {
        console.error(`template scripts: ${failures.length} check(s) failed, ${passed} passed`);
        for (const failure of failures) {
            console.error(`  FAIL ${failure}`);
        }
        process.exit(1);
    }
    console.log(`template scripts: all ${passed} checks passed`);
    process.exit(0);
}

// ---- Reading the template's script blocks ----

const templatePath = process.argv[2];
if (!templatePath) {
    console.error("usage: node template_scripts_check.js <template.htt>");
    process.exit(1);
}
let source;
try {
    source = fs.readFileSync(templatePath, "latin1");
} catch (error) {
    console.error(`template scripts: cannot read ${templatePath}: ${error.message}`);
    process.exit(1);
}

function attributesOf(text) {
    const attributes = {};
    const pattern = /([A-Za-z]+)\s*=\s*"([^"]*)"/g;
    let match;
    while ((match = pattern.exec(text)) !== null) {
        attributes[match[1].toLowerCase()] = match[2];
    }
    return attributes;
}

const scripts = [];
{
    const pattern = /<script\b([^>]*)>([\s\S]*?)<\/script\s*>/gi;
    let match;
    while ((match = pattern.exec(source)) !== null) {
        const line = source.slice(0, match.index).split("\n").length - 1;  // 0-based
        scripts.push({line, attributes: attributesOf(match[1]), body: match[2]});
    }
}

// A script bound to an object's event (for= and event=) is compiled by the browser as the body
// of that event's handler, so "return" is allowed in it; the page's other scripts are global code.
function isEventScript(script) {
    return "for" in script.attributes && "event" in script.attributes;
}

function describe(script) {
    const a = script.attributes;
    return isEventScript(script) ? `script for ${a.for}.${a.event} (line ${script.line})`
                                 : `script at line ${script.line}`;
}

function handlerSource(script) {
    return `(function () {\n${script.body}\n})`;
}

group("script blocks", () => {
    checkEqual("number of script blocks", scripts.length, 3);
    for (const script of scripts) {
        checkEqual(`${describe(script)} language`, script.attributes.language, "JavaScript");
        try {
            new vm.Script(isEventScript(script) ? handlerSource(script) : script.body,
                          {filename: `${templatePath}:${describe(script)}`});
            passed++;
        } catch (error) {
            failures.push(`${describe(script)} does not compile: ${error.message}`);
        }
    }
});

const mainScript = scripts.find((s) => !isEventScript(s));
const selectionScript = scripts.find(
    (s) => s.attributes.for === "FileList" && s.attributes.event === "SelectionChanged");
const thumbnailScript = scripts.find(
    (s) => s.attributes.for === "Thumbnail" && s.attributes.event === "OnThumbnailReady");
check("main script block present", mainScript !== undefined);
check("FileList SelectionChanged script present", selectionScript !== undefined);
check("Thumbnail OnThumbnailReady script present", thumbnailScript !== undefined);
if (!mainScript || !selectionScript || !thumbnailScript || failures.length > 0) {
    finish();
}

// ---- A fake of the page that the shell shows ----

function element(extra) {
    return Object.assign({style: {display: ""}, innerHTML: ""}, extra || {});
}

// An item of the file list. details[column] is what the folder shows in that column;
// tip is the item's info tip (column -1).
function fakeItem(name, size, details, tip) {
    const item = {
        Name: name,
        Path: `C:\\Some Folder\\${name}`,
        Size: size,
        details: details || {},
        tip: tip || "",
        verbs: [],
        InvokeVerb(verb) {
            this.verbs.push(verb);
        },
    };
    if (item.details[0] === undefined) {
        item.details[0] = name;
    }
    return item;
}

const kColumnTitles = ["Name", "Size", "Type", "Modified", "Attributes", "", "Author"];

// Builds a fresh page with the main script loaded. The page's elements are globals, as they are
// in the browser; window is a separate object that records timers and the resize handler.
function makePage(options) {
    const opts = Object.assign({width: 800, height: 600, selection: [], thumbnailAccepts: false,
                                haveThumbnail: false},
                               options || {});
    const timers = [];
    const cleared = [];
    const shown = [];
    const page = {
        document: {body: {clientWidth: opts.width, clientHeight: opts.height}},
        window: {
            onresize: null,
            setTimeout(handler, delay) {
                timers.push({handler, delay});
                return timers.length;
            },
            clearTimeout(id) {
                cleared.push(id);
            },
        },
        Panel: element({offsetWidth: 240}),
        MiniBanner: element({style: {display: "none"}}),
        Info: element(),
        Status: element({style: {display: "none"}}),
        Media: element(),
        Thumbnail: element({
            style: {display: "none"},
            displayFile(path) {
                shown.push(path);
                return opts.thumbnailAccepts;
            },
            haveThumbnail() {
                return opts.haveThumbnail;
            },
        }),
        FileList: element({
            Folder: {
                GetDetailsOf(item, column) {
                    if (item === null) {
                        return kColumnTitles[column] || "";
                    }
                    if (column === -1) {
                        return item.tip;
                    }
                    const value = item.details[column];
                    return value === undefined ? "" : value;
                },
            },
            SelectedItems() {
                return {
                    Count: opts.selection.length,
                    Item(i) {
                        return opts.selection[i];
                    },
                };
            },
        }),
    };
    const context = vm.createContext(page);
    vm.runInContext(mainScript.body, context, {filename: describe(mainScript)});
    const selectionChanged = vm.runInContext(handlerSource(selectionScript), context,
                                             {filename: describe(selectionScript)});
    const thumbnailReady = vm.runInContext(handlerSource(thumbnailScript), context,
                                           {filename: describe(thumbnailScript)});
    return {page, timers, cleared, shown, selectionChanged, thumbnailReady};
}

// ---- The main script block ----

group("text variables", () => {
    const {page} = makePage();
    const expected = {
        L_Prompt_Text: "Select an item to view its description.",
        L_Multiple_Text: " items selected.",
        L_Size_Text: "Size: ",
        L_FileSize_Text: "Total File Size: ",
        L_Delimiter_Text: ",",
        L_Bytes_Text: "&nbsp;bytes",
        L_Attributes_Text: "Attributes",
        L_Codes_Text: "RHSaCE",
        L_Properties_Text: "P&roperties",
        timer: 0,
        wantMedia: false,
    };
    for (const [name, value] of Object.entries(expected)) {
        checkEqual(name, page[name], value);
    }
});

group("FormatNumber", () => {
    const {page} = makePage();
    const cases = [
        [0, "0"], [1, "1"], [12, "12"], [123, "123"], [1000, "1,000"], [1234, "1,234"],
        [12345, "12,345"], [100000, "100,000"], [1234567, "1,234,567"],
        [1234567890, "1,234,567,890"],
    ];
    for (const [n, text] of cases) {
        checkEqual(`FormatNumber(${n})`, page.FormatNumber(n), text);
    }
    page.L_Delimiter_Text = ".";
    checkEqual("FormatNumber uses L_Delimiter_Text", page.FormatNumber(1234567), "1.234.567");
});

group("FixSize", () => {
    let {page} = makePage({width: 399, height: 500});
    page.FixSize();
    checkEqual("narrow: Panel hidden", page.Panel.style.display, "none");
    checkEqual("narrow: MiniBanner shown", page.MiniBanner.style.display, "");
    checkEqual("narrow: FileList top", page.FileList.style.pixelTop, 32);
    checkEqual("narrow: FileList left", page.FileList.style.pixelLeft, 0);
    checkEqual("narrow: FileList width", page.FileList.style.pixelWidth, 399);
    checkEqual("narrow: FileList height", page.FileList.style.pixelHeight, 500 - 32);

    ({page} = makePage({width: 400, height: 500}));
    page.Panel.style.display = "none";
    page.MiniBanner.style.display = "";
    page.FixSize();
    checkEqual("wide: Panel shown", page.Panel.style.display, "");
    checkEqual("wide: MiniBanner hidden", page.MiniBanner.style.display, "none");
    checkEqual("wide: FileList top", page.FileList.style.pixelTop, 0);
    checkEqual("wide: FileList left at the panel's width", page.FileList.style.pixelLeft, 240);
    checkEqual("wide: FileList width", page.FileList.style.pixelWidth, 400 - 240);
    checkEqual("wide: FileList height", page.FileList.style.pixelHeight, 500);
});

group("Init", () => {
    const {page} = makePage({width: 300});
    page.Init();
    check("Init sets the resize handler to FixSize", page.window.onresize === page.FixSize);
    checkEqual("Init runs FixSize", page.Panel.style.display, "none");
    checkEqual("Init shows the prompt", page.Info.innerHTML, "Select an item to view its description.");
});

group("Properties", () => {
    const first = fakeItem("a.txt", 10);
    const second = fakeItem("b.txt", 20);
    const {page} = makePage({selection: [first, second]});
    page.Properties();
    checkEqual("Properties invokes the verb on the first item", first.verbs.join("|"), "P&roperties");
    checkEqual("Properties leaves the other items alone", second.verbs.length, 0);
});

// ---- The selection script ----

group("selection: nothing selected", () => {
    const env = makePage({selection: []});
    env.page.timer = 7;
    env.page.Thumbnail.style.display = "";
    env.page.Status.style.display = "";
    env.page.Info.innerHTML = "old text";
    env.selectionChanged();
    checkEqual("prompt shown", env.page.Info.innerHTML, "Select an item to view its description.");
    checkEqual("pending timer cancelled", env.cleared.join(","), "7");
    checkEqual("timer reset", env.page.timer, 0);
    checkEqual("Thumbnail hidden", env.page.Thumbnail.style.display, "none");
    checkEqual("Status hidden", env.page.Status.style.display, "none");
});

group("selection: several items", () => {
    let env = makePage({selection: [fakeItem("one.txt", 1000), fakeItem("two.txt", 2000),
                                    fakeItem("three.txt", 234567)]});
    env.selectionChanged();
    const info = env.page.Info.innerHTML;
    check("starts with the count", info.indexOf("3 items selected.<br>") === 0, info);
    checkContains("total size, grouped", info, "Total File Size: 237,567&nbsp;bytes");
    for (const name of ["one.txt", "two.txt", "three.txt"]) {
        checkContains(`lists ${name}`, info, name);
    }
    checkEqual("no thumbnail for several items", env.shown.length, 0);

    env = makePage({selection: [fakeItem("a", 0), fakeItem("b", 0)]});
    env.selectionChanged();
    checkLacks("no total when the sizes add up to zero", env.page.Info.innerHTML, "Total File Size");

    const seventeen = [];
    for (let i = 0; i < 17; i++) {
        seventeen.push(fakeItem(`file${i}.txt`, 1));
    }
    env = makePage({selection: seventeen});
    env.selectionChanged();
    checkContains("17 items: total shown", env.page.Info.innerHTML, "Total File Size: 17&nbsp;bytes");
    checkLacks("17 items: names left out", env.page.Info.innerHTML, "file16.txt");

    const many = [];
    for (let i = 0; i < 101; i++) {
        many.push(fakeItem(`file${i}.txt`, 1));
    }
    env = makePage({selection: many});
    env.selectionChanged();
    check("101 items: count only",
          env.page.Info.innerHTML.indexOf("101 items selected.") === 0 &&
              env.page.Info.innerHTML.indexOf("Total File Size") === -1,
          env.page.Info.innerHTML);
});

group("selection: one item", () => {
    const item = fakeItem("notes.txt", 500,
                          {2: "Text Document", 3: "1/2/1999 10:00", 4: "RHA", 6: "Someone"},
                          "See http://example.com/page now\r\nsecond line");
    const env = makePage({selection: [item], thumbnailAccepts: true});
    env.selectionChanged();
    const info = env.page.Info.innerHTML;
    check("name in bold first", info.indexOf("<b>notes.txt</b>") === 0, info);
    checkContains("type", info, "Text Document");
    checkContains("date under its title", info, "Modified:<br>1/2/1999 10:00");
    checkContains("small size in bytes", info, "Size: 500&nbsp;bytes");
    checkContains("attributes link to Properties", info, "javascript:Properties()");
    checkContains("attribute names", info, "Read-only, Hidden");
    checkLacks("archive attribute not shown", info, "Archive");
    checkLacks("columns stop at the first without a title", info, "Someone");
    checkContains("tip link", info, '<a href="http://example.com/page">http://example.com/page</a> now');
    checkContains("tip line break", info, "now<br>second line");
    checkEqual("thumbnail asked for the item's path", env.shown.join("|"), item.Path);
    checkEqual("one status timer", env.timers.length, 1);
    checkEqual("status timer is 1000 ms", env.timers.length && env.timers[0].delay, 1000);
    checkEqual("Status still hidden before the timer", env.page.Status.style.display, "none");
    checkEqual("Media left alone without wantMedia", env.page.Media.innerHTML, "");
    if (env.timers.length) {
        env.timers[0].handler();
        checkEqual("Status shown when the timer runs out", env.page.Status.style.display, "");
    }
});

group("selection: one item, other cases", () => {
    let env = makePage({selection: [fakeItem("plain.txt", 10, {4: "A"})]});
    env.selectionChanged();
    checkContains("no attributes reads (normal)", env.page.Info.innerHTML, "(normal)");

    env = makePage({selection: [fakeItem("big.bin", 1234567)]});
    env.selectionChanged();
    checkContains("large size without a size column is grouped", env.page.Info.innerHTML,
                  "Size: 1,234,567&nbsp;bytes");

    env = makePage({selection: [fakeItem("big.bin", 1234567, {1: "1.17 MB"})]});
    env.selectionChanged();
    checkContains("large size shows the size column", env.page.Info.innerHTML, "Size: 1.17 MB");
    checkLacks("large size with a size column is not grouped", env.page.Info.innerHTML, "1,234,567");

    env = makePage({selection: [fakeItem("same.txt", 10, {}, "same.txt")]});
    env.selectionChanged();
    check("a tip equal to the name is left out",
          env.page.Info.innerHTML.split("same.txt").length === 2, env.page.Info.innerHTML);

    env = makePage({selection: [fakeItem("f.txt", 10, {}, "Open file://C:\\x.txt\nor not")]});
    env.selectionChanged();
    checkContains("file link in a tip", env.page.Info.innerHTML,
                  '<a href="file://C:\\x.txt">file://C:\\x.txt</a><br>or not');

    env = makePage({selection: [fakeItem("huge.iso", 10000000)], thumbnailAccepts: true});
    env.selectionChanged();
    checkEqual("no thumbnail at 10,000,000 bytes", env.shown.length, 0);
    checkEqual("no timer at 10,000,000 bytes", env.timers.length, 0);

    env = makePage({selection: [fakeItem("empty.txt", 0)], thumbnailAccepts: true});
    env.selectionChanged();
    checkEqual("no thumbnail for an empty file", env.shown.length, 0);

    env = makePage({selection: [fakeItem("odd.xyz", 10)], thumbnailAccepts: false});
    env.selectionChanged();
    checkEqual("refused thumbnail: asked once", env.shown.length, 1);
    checkEqual("refused thumbnail: no timer", env.timers.length, 0);
});

group("selection: media players", () => {
    function mediaFor(name, size) {
        const env = makePage({selection: [fakeItem(name, size === undefined ? 100 : size)]});
        env.page.wantMedia = true;
        env.page.Media.innerHTML = "previous player";
        env.selectionChanged();
        return env.page.Media.innerHTML;
    }
    const sound = mediaFor("Tune.WAV");
    checkContains("sound player class", sound, "05589FA1-C356-11CE-BF01-00AA0055595A");
    checkContains("sound player size", sound, "width=160 height=28");
    checkContains("sound player file", sound, "C:\\Some Folder\\Tune.WAV");
    checkContains("sound player FileName", sound, "FileName");
    checkContains("sound player ShowDisplay", sound, "ShowDisplay");
    checkLacks("sound player has no BorderStyle", sound, "BorderStyle");

    const movie = mediaFor("clip.avi");
    checkContains("movie player size", movie, "width=160 height=148");
    checkContains("movie player BorderStyle", movie, "BorderStyle");

    for (const ext of ["mov", "qt", "mpe", "mpeg", "mpg"]) {
        checkContains(`.${ext} gets the movie player`, mediaFor(`x.${ext}`), "height=148");
    }
    for (const ext of ["aif", "aifc", "aiff", "au", "mid", "rmi", "snd"]) {
        checkContains(`.${ext} gets the sound player`, mediaFor(`x.${ext}`), "height=28");
    }
    checkEqual("other files get no player, and Media is emptied", mediaFor("notes.txt"), "");
    checkEqual("an empty file gets no player", mediaFor("silence.wav", 0), "");
});

// ---- The thumbnail script ----

group("thumbnail ready", () => {
    let env = makePage({haveThumbnail: true});
    env.page.timer = 3;
    env.page.Status.style.display = "";
    env.thumbnailReady();
    checkEqual("pending timer cancelled", env.cleared.join(","), "3");
    checkEqual("Status hidden", env.page.Status.style.display, "none");
    checkEqual("Thumbnail shown", env.page.Thumbnail.style.display, "");

    env = makePage({haveThumbnail: true});
    env.page.Media.innerHTML = "<object></object>";
    env.thumbnailReady();
    checkEqual("Thumbnail stays hidden while a player is shown", env.page.Thumbnail.style.display,
               "none");

    env = makePage({haveThumbnail: false});
    env.thumbnailReady();
    checkEqual("Thumbnail stays hidden without a thumbnail", env.page.Thumbnail.style.display,
               "none");
});

finish();
