"use strict";
// The status page: reads /api/status and /api/events twice a second and shows them; the traffic
// button posts to /api/traffic with the station's token, asked once and kept for this tab.

const POLL_MS = 500;
const EVENTS_KEPT = 200;
const TOKEN_KEY = "rdsmorvane-token";
const KIND_NAMES = {
  radiotext_sent: "RadioText sent",
  traffic_on: "TA on",
  traffic_off: "TA off",
  clock_set: "Clock set",
  inhouse_started: "In-house message",
  port_lost: "Port lost",
  port_back: "Port back",
  problem: "Problem",
};

let lastEventId = 0;

function byId(id) {
  return document.getElementById(id);
}

// "2026-03-05 14:02:31" in the browser's time zone: 24-hour, as the window shows times.
function localTime(iso) {
  if (!iso) {
    return "";
  }
  const at = new Date(iso);
  const two = (n) => String(n).padStart(2, "0");
  return at.getFullYear() + "-" + two(at.getMonth() + 1) + "-" + two(at.getDate()) + " " +
    two(at.getHours()) + ":" + two(at.getMinutes()) + ":" + two(at.getSeconds());
}

function showLink(link) {
  const element = byId("link");
  element.className = "link " + (link.up ? "up" : "down");
  let text = "Encoder port " + (link.port || "(not open yet)") + ": " + (link.up ? "up" : "down");
  if (link.since) {
    text += " since " + localTime(link.since);
  }
  byId("linkText").textContent = text;
}

function showButton(button) {
  const element = byId("cmdTraffic");
  element.textContent = button.caption;
  element.disabled = !button.enabled;
  element.className = button.colour;
}

function showRadio(radio) {
  byId("radioPS").textContent = radio.ps;
  const rt = byId("radioRT");
  rt.replaceChildren();
  for (const part of radio.radiotext) {
    const span = document.createElement("span");
    span.textContent = part.text;
    if (part.item) {
      span.className = part.item;
      span.title = "RT+ " + part.item;
    }
    rt.appendChild(span);
  }
}

function showStatus(status) {
  for (const [name, text] of Object.entries(status.labels)) {
    const element = byId(name);
    if (element && element.textContent !== text) {
      element.textContent = text;
    }
  }
  // The tab says what is on air.
  document.title = status.labels.lblRT.trim() + " - RDS Morvane";
  showButton(status.traffic_button);
  showLink(status.link);
  showRadio(status.radio);
}

function addEvents(events) {
  const body = byId("events");
  for (const event of events) {
    const row = document.createElement("tr");
    row.className = "severity-" + event.severity;
    for (const text of [localTime(event.time), KIND_NAMES[event.kind] || event.kind, event.text]) {
      const cell = document.createElement("td");
      cell.textContent = text;
      row.appendChild(cell);
    }
    body.insertBefore(row, body.firstChild);
    lastEventId = Math.max(lastEventId, event.id);
  }
  while (body.rows.length > EVENTS_KEPT) {
    body.deleteRow(body.rows.length - 1);
  }
}

async function getJson(path) {
  const answer = await fetch(path, { cache: "no-store" });
  if (!answer.ok) {
    throw new Error(path + ": " + answer.status);
  }
  return answer.json();
}

async function poll() {
  try {
    showStatus(await getJson("/api/status"));
    addEvents((await getJson("/api/events?after=" + lastEventId)).events);
    byId("offline").hidden = true;
  } catch (error) {
    byId("offline").hidden = false;
  }
  setTimeout(poll, POLL_MS);
}

function postTraffic(token) {
  const headers = token ? { Authorization: "Bearer " + token } : {};
  return fetch("/api/traffic", { method: "POST", headers: headers, cache: "no-store" });
}

async function clickTraffic() {
  const problem = byId("trafficProblem");
  problem.textContent = "";
  let token = sessionStorage.getItem(TOKEN_KEY) || "";
  let answer = await postTraffic(token);
  if (answer.status === 401) {
    token = window.prompt("The station's web token (WebToken):") || "";
    if (!token) {
      return;
    }
    sessionStorage.setItem(TOKEN_KEY, token);
    answer = await postTraffic(token);
  }
  if (answer.status === 401) {
    sessionStorage.removeItem(TOKEN_KEY);
    problem.textContent = "The token was not accepted.";
  } else if (!answer.ok) {
    problem.textContent = (await answer.text()).trim() || "Refused: " + answer.status;
  }
}

byId("cmdTraffic").addEventListener("click", () => {
  clickTraffic().catch(() => {
    byId("trafficProblem").textContent = "No answer from the controller.";
  });
});
poll();
